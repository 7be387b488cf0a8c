// The help window's own texts.
#pragma once

#include <QString>

namespace help_texts {

inline constexpr const char* kCaption = "Sonmira 帮助";
inline constexpr const char* kBack = "后退";
inline constexpr const char* kForward = "前进";
inline constexpr const char* kHome = "主页";
inline constexpr const char* kContents = "目录";
inline constexpr const char* kPage = "帮助页面";
inline constexpr const char* kToolBar = "帮助工具栏";

// The page shown in place of a help file that cannot be opened; `exists`
// tells a missing file from an unreadable one.
QString UnopenedFilePage(const QString& path, bool exists);

// The page shown for a link to a topic the help file does not hold.
QString MissingTopicPage(const QString& topic);

}  // namespace help_texts
