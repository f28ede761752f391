// The program's entry: wires the module's image and start routine, the
// window layer, the automation layer and the application object into the
// runtime, then runs the application object.
#include "automation/automation.h"
#include "platform/framework.h"
#include "runtime/rt.h"
#include "ui/loader/loader.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before any window or DC: the system then neither stretches the
    // window's bitmap nor reports 96 DPI on a scaled screen; the window
    // layer scales the layout itself (ui/scale.h).
    SetProcessDPIAware();
    g_rt.image = &vell_program_image;
    g_rt.moduleStart = vell_module_start;
    g_rt.installWindowLayer = ui_InstallWindowLayer;
    auto_InstallLayer();
    rt_InstallApplication();
    return FwRun(instance);
}
