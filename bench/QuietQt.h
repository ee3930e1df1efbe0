// Benchmarks print one result line each; Qt's notes about the offscreen
// platform (no runtime folder, no size hints) are not results.
#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace bench
{

inline void quietQt()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg || type == QtCriticalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
}

} // namespace bench
