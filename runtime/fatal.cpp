// The fatal error report: composing the text is kept apart from showing it.
#include "runtime/rt.h"
#include <stdio.h>
#include <string>

static const char* const kRuntimeErrors[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

static_assert(sizeof kRuntimeErrors / sizeof kRuntimeErrors[0] == RTE_LAST, "a text per error code");

const char* rt_RuntimeErrorText(int32_t code) {
    return code >= 1 && code <= RTE_LAST ? kRuntimeErrors[code - 1] : nullptr;
}

static bool isWindowId(uint32_t id) { return (id & 0x0F000000u) == 0x02000000u; }

// The location lines: "\r\n%d, %d" and the window/entry names when known.
static std::string composeDetail(int32_t loc1, int32_t loc2) {
    char buf[64];
    snprintf(buf, sizeof buf, "\r\n%d, %d", loc1, loc2);
    std::string d = buf;
    if (loc1 != 0 && isWindowId((uint32_t)loc1)) {
        const char* windowName = nullptr;
        const char* entryName = nullptr;
        int found = g_rt.ui.describe ? g_rt.ui.describe((uint32_t)loc1, (uint32_t)loc2, &windowName, &entryName) : 0;
        if (found == 0) {
            d += "\r\n未找到所指定的窗口";
        } else {
            d += "\r\n\"";
            d += windowName ? windowName : "";
            d += "\"";
            if (found == 2) {
                d += "\r\n\"";
                d += entryName ? entryName : "";
                d += "\"";
            } else {
                d += "\r\n未找到所指定的窗口组件";
            }
        }
    }
    d += "\r\n";
    return d;
}

static std::string composeReport(const char* message, int32_t code, const std::string& detail) {
    std::string t = "运行时出错!\r\n";
    if (code != 0) {
        char buf[32];
        snprintf(buf, sizeof buf, "%d", code);
        t += "\r\n错误代码：";
        t += buf;
        t += "\r\n";
    }
    if (message && *message) {
        t += "\r\n错误信息：";
        t += message;
        t += "\r\n";
    }
    t += detail;
    return t;
}

int rt_ComposeFatal(const char* message, int32_t code, int32_t loc1, int32_t loc2, char* out, int cap) {
    std::string t = composeReport(message, code, composeDetail(loc1, loc2));
    if (cap <= 0) return (int)t.size();
    int n = (int)t.size() < cap - 1 ? (int)t.size() : cap - 1;
    memcpy(out, t.data(), (size_t)n);
    out[n] = 0;
    return n;
}

void rt_FatalReport(const char* message, int32_t code, int32_t loc1, int32_t loc2) {
    g_rt.eventBlock++;
    std::string detail = composeDetail(loc1, loc2);
    bool reported = false;
    if (g_rt.fatalHook && !g_rt.fatalHookActive) {
        g_rt.fatalHookActive = true;
        std::string full = std::string(message ? message : "") + detail;
        reported = g_rt.fatalHook(code, full.c_str()) != 0;
        g_rt.fatalHookActive = false;
    }
    if (!reported) {
        std::string text = composeReport(message, code, detail);
        // A batch run has nobody to press the box's button.
        if (g_rt.batchMode) rt_WriteLine(LINE_TO_ERROR, text.c_str());
        else MessageBoxA(nullptr, text.c_str(), "错误", MB_OK | MB_ICONERROR);
    }
    g_rt.exitRoutineCount = 0;  // module clean-up must not run after a failure
    rt_ExitProgram(-1);
}

void rt_ReportRuntimeError(int32_t code, int32_t loc1, int32_t loc2) {
    rt_FatalReport(rt_RuntimeErrorText(code), code, loc1, loc2);
}
