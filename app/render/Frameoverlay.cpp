#include "Frameoverlay.h"

#include <QFont>
#include <QPainter>

#include <cmath>

double ScaleBarMicrometres(double widthMetres)
{
    const double most = widthMetres / 5.0 * 1e6; // µm
    const double decade = std::pow(10.0, std::floor(std::log10(most)));
    for (const double step : {5.0, 2.0, 1.0})
        if (step * decade <= most * (1.0 + 1e-12))
            return step * decade;
    return decade;
}

void DrawFrameCaption(QImage &picture, const FrameCaption &caption)
{
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    const int textHeight = std::max(12, picture.height() / 30); // px
    font.setPixelSize(textHeight);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const int margin = textHeight / 2;
    const int line = textHeight * 3 / 2;
    painter.drawText(margin, margin + textHeight, QString("t = %1 s").arg(caption.Time));
    painter.drawText(margin, margin + textHeight + line,
                     caption.Filaments == 1 ? QString("1 filament")
                                            : QString("%1 filaments").arg(caption.Filaments));

    if (!(caption.PixelsPerMetre > 0.0))
        return;
    const double micrometres = ScaleBarMicrometres(picture.width() / caption.PixelsPerMetre);
    const int length = int(std::lround(micrometres * 1e-6 * caption.PixelsPerMetre));
    const int bottom = picture.height() - margin;
    const int thickness = std::max(2, textHeight / 5);
    painter.fillRect(margin, bottom - thickness, length, thickness, Qt::white);
    painter.drawText(margin, bottom - thickness - margin / 2,
                     QString::fromUtf8("%1 \u00b5m").arg(QString::number(micrometres, 'g', 6)));
}
