#include "charts/chartoutput.h"

#include "charts/chartcolours.h"
#include "charts/paintersurface.h"
#include "charts/recordingsurface.h"
#include "platform/outputfile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace orlu {

using namespace Qt::StringLiterals;

int writeChartOutputs(const QString &command, const QString &pngFile, const QString &opsFile, QSize area,
                      const std::function<void(DrawingSurface &)> &draw, QTextStream &out, QTextStream &err) {
    const bool opsToOut = opsFile == u"-"_s || (opsFile.isEmpty() && pngFile.isEmpty());
    if (!pngFile.isEmpty()) {
        QImage image(area, QImage::Format_RGB32);
        image.fill(ChartColour::ButtonFace);
        {
            QPainter painter(&image);
            PainterSurface surface(painter, PainterSurface::screenFont());
            draw(surface);
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        if (QString error; !writeOutputFile(pngFile, png, &error)) {
            err << command << ": cannot write " << pngFile << ": " << error << '\n';
            return 1;
        }
    }
    if (opsToOut || !opsFile.isEmpty()) {
        RecordingSurface recording;
        draw(recording);
        const QByteArray lines = opsToJsonLines(recording.ops());
        if (opsToOut) {
            out << QString::fromUtf8(lines);
        } else if (QString error; !writeOutputFile(opsFile, lines, &error)) {
            err << command << ": cannot write " << opsFile << ": " << error << '\n';
            return 1;
        }
    }
    out.flush();
    return 0;
}

} // namespace orlu
