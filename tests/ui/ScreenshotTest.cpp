#include "BuiltinDictionary.h"
#include "FakeDesktopServices.h"
#include "Form1.h"

#include <QTest>

using namespace pexa;

// Renders the window as it first appears into the build folder, for the README and for a look at
// fonts and alignment on a machine without a display.
class ScreenshotTest : public QObject
{
    Q_OBJECT

private slots:
    void rendersTheStartWindow()
    {
        FakeDesktop desktop;
        Form1 window(LazyRewriter(loadBuiltinDictionary()), desktop.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab().toImage();
        QCOMPARE(image.size() / image.devicePixelRatio(), QSize(564, 333));
        QVERIFY(image.save(QStringLiteral(PEXA_SCREENSHOT_PATH)));
    }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
