// Any bytes as tip markup and as a style sheet: parsing and layout never crash or hang, and
// the laid-out tip stays of a sane size.
#include "tooltip/HtmlLayout.h"
#include "tooltip/HtmlMarkup.h"
#include "tooltip/HtmlStyleSheet.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

// The font library keeps what it caches for the life of the process; that is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_tooltip_markup";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The first line is the style sheet, the rest the markup.
    const qsizetype split = text.indexOf(u'\n');
    HtmlStyleSheet sheet;
    sheet.Parse(split < 0 ? QString() : text.left(split));
    const HtmlDocument doc = ParseHtml(split < 0 ? text : text.mid(split + 1), sheet);
    HtmlLayout layout(doc);
    const QSizeF extent = layout.size();
    if (!(extent.width() >= 0 && extent.height() >= 0) || extent.width() > 1e7 ||
        extent.height() > 1e7)
        __builtin_trap();
    QImage image(64, 32, QImage::Format_ARGB32);
    QPainter painter(&image);
    layout.paint(painter, QPointF(0, 0));
    return 0;
}
