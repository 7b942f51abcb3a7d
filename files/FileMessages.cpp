#include "files/FileMessages.h"

namespace qv::files {

using platform::Answer;
using platform::Buttons;
using platform::Message;

bool FileMessages::confirmReplace(const std::string &path) {
    Message m;
    m.text = path + " 已经存在。要替换它吗?";
    m.buttons = Buttons::OkCancel;
    m.warning = true;
    m.defaultButton = Answer::Cancel;
    return boxes_.show(m) == Answer::Ok;
}

void FileMessages::wrongFormat(const std::string &path, const std::string &details) {
    Message m;
    m.text = path + " 文件格式不正确";
    m.details = details;
    m.warning = true;
    (void)boxes_.show(m);
}

void FileMessages::saveFailed(const std::string &path, const std::string &reason) {
    Message m;
    m.text = path + " 保存失败: " + reason;
    m.warning = true;
    (void)boxes_.show(m);
}

} // namespace qv::files
