// The program's entry, above every layer: hands the runtime the module's
// image and start routine and the window layer's install function,
// installs the automation layer and makes the runtime's application object
// the framework's, then runs it. Nothing below includes this file.
#include "automation/automation.h"
#include "platform/framework.h"
#include "runtime/rt.h"
#include "ui/loader/loader.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_rt.image = &vell_program_image;
    g_rt.moduleStart = vell_module_start;
    g_rt.installWindowLayer = ui_InstallWindowLayer;
    auto_InstallLayer();
    rt_InstallApplication();
    return FwRun(instance);
}
