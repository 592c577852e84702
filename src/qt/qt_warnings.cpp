// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/qt_warnings.h"

#include <QString>
#include <QtGlobal>
#include <cstring>

namespace tamberlight {

namespace {

QtMessageHandler qtsOwn = nullptr;

bool toldInOurWords(const QMessageLogContext& context, const QString& message) {
    return (context.category != nullptr &&
            std::strncmp(context.category, "qt.multimedia", 13) == 0) ||
           message.startsWith(QLatin1String("PulseAudioService:")) ||
           message.startsWith(QLatin1String("QFSFileEngine::open:"));
}

void filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg || !toldInOurWords(context, message))
        qtsOwn(type, context, message);
}

} // namespace

void keepQtsOwnWarningsOut() {
    qtsOwn = qInstallMessageHandler(filter);
}

} // namespace tamberlight
