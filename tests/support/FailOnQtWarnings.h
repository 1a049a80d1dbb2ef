#pragma once
// Every GUI test program fails on any warning Qt prints while a test runs:
// a warning is a fault we would otherwise ship. Call failOnQtWarnings()
// first thing in the test class's init() (add an init() if there is none);
// the suite's check tst_gui_fail_on_warnings names every GUI test program
// that does not.
#include <QRegularExpression>
#include <QtTest>

inline void failOnQtWarnings()
{
    // Except what the offscreen platform of the test runs says it cannot do
    // (raise a window, honour size hints): the program is not at fault.
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support )")));
}
