#include "help_texts.h"

namespace help_texts {

namespace {

QString Page(const QString& title, const QString& body) {
    return "<html><head><title>" + title.toHtmlEscaped() + "</title></head><body><h2>" + title.toHtmlEscaped() +
           "</h2>" + body + "</body></html>";
}

}  // namespace

QString UnopenedFilePage(const QString& path, bool exists) {
    const QString reason =
        exists ? QStringLiteral("该文件无法读取，或不是有效的帮助文件。") : QStringLiteral("该文件不存在。");
    return Page(QStringLiteral("无法打开帮助文件"),
                "<p>" + QStringLiteral("帮助文件“%1”无法打开：").arg(path.toHtmlEscaped()) + reason + "</p><p>" +
                    QStringLiteral("请确认程序文件夹中有完整的 qv_help.chm。") + "</p>");
}

QString MissingTopicPage(const QString& topic) {
    return Page(QStringLiteral("找不到该页"),
                "<p>" + QStringLiteral("帮助文件中没有“%1”这一页。").arg(topic.toHtmlEscaped()) + "</p>");
}

}  // namespace help_texts
