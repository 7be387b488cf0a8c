// Keys for the tool bar's commands that have no menu item, so they are in
// reach without a mouse (Tab never reaches a tool bar button). None of them
// is taken by a menu, a text box or the lists.
#pragma once

#include <QKeySequence>
#include <QString>

namespace ui {

inline const QKeySequence kDownloadKey{Qt::Key_F5};        // 下载录音
inline const QKeySequence kPulsePlayKey{Qt::Key_F6};       // 脉冲触发播放 (also Enter in the address box)
inline const QKeySequence kContinuousPlayKey{Qt::Key_F7};  // 连续播放
inline const QKeySequence kAuxModeKey{Qt::Key_F8};         // AUX录音模式
inline const QKeySequence kVolumeKey{Qt::Key_F9};          // Wav音量设置

// A button's tool tip: its hint, and its key in brackets when it has one.
inline QString HintWithKey(const QString& hint, const QKeySequence& key) {
    return key.isEmpty() ? hint : hint + " (" + key.toString(QKeySequence::NativeText) + ")";
}

}  // namespace ui
