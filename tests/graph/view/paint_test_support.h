// Painting the graph into an image for the pixel tests: the application object the fonts need,
// a model laid out for a window, and the scene painted with the fast or the reference
// decimation.
#pragma once

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "graph/view/graph_painter.h"

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "graph_view_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() == nullptr
                                   ? new QApplication(argc, argv)
                                   : qobject_cast<QApplication*>(QApplication::instance());
    (void)app;
}

inline QImage PaintScene(const GraphScene& scene) {
    EnsureApplication();
    const GraphLayout& layout = scene.model.Geometry();
    QImage image(layout.windowWidth, layout.windowHeight, QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(scene.model.state.fontHeight);
    painter.setFont(font);
    PaintGraph(painter, scene);
    PaintMeasurements(painter, scene);
    return image;
}

inline QRgb Rgb(RgbColour colour) {
    return qRgb(colour.red, colour.green, colour.blue);
}
