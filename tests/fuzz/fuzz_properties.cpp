// Fuzz target: the translation component's property text, applied to a small
// window with a label, a combo box, a grid and a status bar.
#include "PublishedProperties.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>

#include <cstddef>
#include <cstdint>

namespace {

QApplication &application()
{
    static int argc = 1;
    static char name[] = "fuzz_properties";
    static char *argv[] = { name, nullptr };
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = splitLines(text);
    QDialog window;
    window.setObjectName(QStringLiteral("Fuzz_Form"));
    auto *label = new QLabel(QStringLiteral("label"), &window);
    label->setObjectName(QStringLiteral("Label1"));
    auto *combo = new QComboBox(&window);
    combo->setObjectName(QStringLiteral("Combo1"));
    combo->addItems({ QStringLiteral("a"), QStringLiteral("b") });
    auto *grid = new QTableWidget(2, 3, &window);
    grid->setObjectName(QStringLiteral("Grid1"));
    auto *status = new QStatusBar(&window);
    status->setObjectName(QStringLiteral("StatusBar1"));
    for (QObject *object : { static_cast<QObject *>(&window), static_cast<QObject *>(label),
             static_cast<QObject *>(combo), static_cast<QObject *>(grid), static_cast<QObject *>(status) }) {
        applyPropertyLines(object, &window, lines);
        (void)propertyText(object, &window, true);
    }
    return 0;
}
