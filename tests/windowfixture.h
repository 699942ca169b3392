// What the tests that build a main window share: the program's application object, a settings
// store of their own, discovery on the test's own loopback address.
#pragma once

#include "zynapplication.h"

#include <QTemporaryDir>
#include <QtTest>

namespace viewtest {

// Runs the test object T under a ZynApplication with the settings store in a temporary folder
// and the discovery socket on `discovery`, which the window's network rescan also asks.
template <typename T>
int runWindowTest(int argc, char** argv, const char* discovery)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("PALVIR_DISCOVERY_TARGET", discovery);
    qputenv("PALVIR_DISCOVERY_BIND", discovery);
    ZynApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    T test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace viewtest
