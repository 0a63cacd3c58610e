#include "WindowIcon.h"

#include <QImage>
#include <QPixmap>

namespace pexa {

QIcon windowIcon()
{
    QIcon icon;
    for (const data::WindowIconImage& image : data::windowIconImages)
        icon.addPixmap(QPixmap::fromImage(QImage(
            reinterpret_cast<const uchar*>(image.pixels), image.size, image.size,
            image.size * qsizetype(sizeof(std::uint32_t)), QImage::Format_ARGB32_Premultiplied)));
    return icon;
}

} // namespace pexa
