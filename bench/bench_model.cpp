// Reading time of a large OBJ model: a grid of a million vertices with normals
// and two triangles per cell, against merely reading the same file's lines.
#include "benchutil.h"
#include "model.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int side = 1000;
constexpr int runs = 5;

bool writeGrid(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# grid of " << side * side << " vertices\nmtllib grid.mtl\nusemtl plaster\n";
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column)
            out << "v " << column * 0.01 << ' ' << row * 0.01 << " 0.125\n";
    }
    out << "vn 0 0 1\n";
    for (int row = 0; row + 1 < side; ++row) {
        for (int column = 0; column + 1 < side; ++column) {
            const int a = row * side + column + 1;
            const int b = a + 1;
            const int c = a + side;
            const int d = c + 1;
            out << "f " << a << "//1 " << b << "//1 " << d << "//1\n";
            out << "f " << a << "//1 " << d << "//1 " << c << "//1\n";
        }
    }
    return out.status() == QTextStream::Ok;
}


} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("grid.obj");
    if (!writeGrid(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    int faces = 0;
    const double readObj = medianMilliseconds(runs, [&] {
        Model model;
        model.readObj(path);
        faces = model.faces.size();
    });
    const double linesOnly = medianMilliseconds(runs, [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly | QIODevice::Text);
        QTextStream in(&file);
        QString line;
        while (in.readLineInto(&line)) {
        }
    });

    std::printf("OBJ of %d vertices and %d faces, %.1f MB\n", side * side, faces,
                QFile(path).size() / 1e6);
    std::printf("readObj median of %d runs: %.0f ms\n", runs, readObj);
    std::printf("reading the lines only:     %.0f ms\n", linesOnly);
    std::printf("ratio readObj / lines only: %.2f\n", readObj / linesOnly);
    return 0;
}
