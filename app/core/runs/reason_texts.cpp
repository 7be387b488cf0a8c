#include "runs/reason_texts.h"

#include "list/address_math.h"
#include "audio/audio_result.h"
#include "messages/messages.h"

namespace runs {

namespace {

std::string RowName(int row) { return "第" + std::to_string(row) + "行"; }

// Lines joined by line ends; past kListedRows, one line for the rest.
std::string Listed(const std::vector<std::string>& lines, const char* rest_unit) {
    std::string out;
    for (size_t i = 0; i < lines.size() && i < kListedRows; ++i) out += (i ? "\n" : "") + lines[i];
    if (lines.size() > kListedRows) out += "\n……另有" + std::to_string(lines.size() - kListedRows) + rest_unit;
    return out;
}

}  // namespace

std::string ProjectDamageText(list::Incomplete why) {
    switch (why) {
        case list::Incomplete::No: return "";
        case list::Incomplete::Empty: return "文件是空的";
        case list::Incomplete::NoHeader: return "文件开头没有QWF数据文件的文件头";
        case list::Incomplete::LfWithoutCr: return "有的行以LF结束，缺少CR";
        case list::Incomplete::CrWithoutLf: return "有的行以CR结束，缺少LF";
        case list::Incomplete::UnendedLastLine: return "最后一行没有以CR LF结束，文件可能被截断了";
        case list::Incomplete::TooManyRows:
            return "超过" + std::to_string(list::kRows) + "行，编程列表最多只能有" + std::to_string(list::kRows) + "行";
    }
    return "";
}

std::string LengthFailureText(int audio_rc) {
    switch (audio_rc) {
        case audio::kAudioOk: return "文件中没有声音（长度为0毫秒）";
        case audio::kAudioFileNotFound: return "文件无法读取";
        case audio::kAudioUnsupported: return "不是能够解码的音频文件";
        case audio::kAudioTimeout: return "解码没有按时完成";
        default: return "测量失败";
    }
}

std::string PlayFailureText(int audio_rc) {
    switch (audio_rc) {
        case audio::kAudioNoOutput: return "没有声音输出设备";
        case audio::kAudioFileNotFound: return "文件无法读取";
        case audio::kAudioUnsupported: return "不是能够解码的音频文件";
        case audio::kAudioTimeout: return "声音没有按时开始";
        default: return "声音输出出错";
    }
}

std::string RunProblemText(const RunProblem& p) {
    switch (p.kind) {
        case RunProblem::Kind::Missing: return "文件不存在";
        case RunProblem::Kind::Unrecorded:
            return "录音命令" + std::to_string(RecThread::kAttempts) + "次都没有成功（" +
                   messages::DriverResultMessage(p.code) + "）";
        case RunProblem::Kind::Unplayed: return "声音没有播放（" + PlayFailureText(p.code) + "）";
    }
    return "";
}

std::string RowTroubleList(const std::vector<RowTroubleText>& rows) {
    std::vector<std::string> lines;
    for (const RowTroubleText& r : rows) lines.push_back(RowName(r.row) + " " + r.file + "：" + r.reason);
    return Listed(lines, "行");
}

std::string OverlapList(const std::vector<list::Overlap>& overlaps) {
    std::vector<std::string> lines;
    for (const list::Overlap& o : overlaps)
        lines.push_back(RowName(o.first) + "（" + list::Text(o.firstStart) + "-" + list::Text(o.firstEnd) + "）与" +
                        RowName(o.second) + "（" + list::Text(o.secondStart) + "-" + list::Text(o.secondEnd) + "）");
    return Listed(lines, "处");
}

}  // namespace runs
