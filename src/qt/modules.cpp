// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/modules.h"

#include <QCoreApplication>
#include <QString>
#include <dlfcn.h>

namespace tamberlight {

void* moduleFunction(const char* module, const char* function, std::string& why) {
    const QString programDir = QCoreApplication::applicationDirPath();
    for (const QString& dir :
         {programDir, programDir + QStringLiteral("/" TAMBERLIGHT_MODULE_DIR)}) {
        const std::string path = (dir + QLatin1Char('/') + QLatin1String(module)).toStdString();
        void* loaded = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (loaded == nullptr) {
            why = ::dlerror();
            continue;
        }
        if (void* found = ::dlsym(loaded, function))
            return found;
        why = path + ": no " + function;
    }
    return nullptr;
}

} // namespace tamberlight
