#include "driver_result.h"

#include "user_prompt.h"

std::string DriverResultMessage(int32_t code) {
    switch (code) {
        case 0: return "";
        case -1: return "串口未打开！";
        case -2: return "对不起，编程器忙！";
        case -5: return "对不起，未连接编程器！";
        case -6: return "对不起，设置结束地址失败！";
        case -7: return "对不起，未连接编程器！";
        case -8: return "对不起，起始地址不正确！";
        default: return "串口通信错误!";
    }
}

bool ShowDriverResult(IUserPrompt& ui, int32_t code) {
    if (code == 0) return false;
    Tell(ui, DriverResultMessage(code), kCaptionInfo);
    return true;
}
