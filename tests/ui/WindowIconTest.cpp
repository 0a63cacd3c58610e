// The window icon's compiled-in pixels against the PNG files they were made from.
#include "WindowIcon.h"

#include <QImage>
#include <QTest>

class WindowIconTest : public QObject
{
    Q_OBJECT

private slots:
    void everySizeShowsItsPngFile()
    {
        const QIcon icon = pexa::windowIcon();
        const QList<QSize> sizes = icon.availableSizes();
        QCOMPARE(sizes.size(), 4);
        for (int size : {16, 24, 32, 48}) {
            const QImage png = QImage(QStringLiteral(PEXA_ICON_DIR "/pexa-%1.png").arg(size))
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QVERIFY(!png.isNull());
            const QImage shown =
                icon.pixmap(QSize(size, size)).toImage().convertToFormat(png.format());
            QCOMPARE(shown.size(), png.size());
            // The pixels alone: the file also carries a colour space, which the icon leaves out.
            QCOMPARE(QByteArrayView(shown.constBits(), shown.sizeInBytes()),
                     QByteArrayView(png.constBits(), png.sizeInBytes()));
        }
    }
};

QTEST_MAIN(WindowIconTest)
#include "WindowIconTest.moc"
