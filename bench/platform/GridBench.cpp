// Opens the string grid on a talk-table-sized model (a header row and
// 16,777,216 entries, texts made on demand) offscreen and prints
// "name value unit" lines: opening, painting, jumping to the end, memory.
#include "GridModel.h"
#include "StringGrid.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

namespace {

class HugeModel : public GridModel {
public:
    explicit HugeModel(int rows) : rows_(rows) {}
    int rowCount() const override { return rows_; }
    int colCount() const override { return 4; }
    int fixedRows() const override { return 1; }
    int fixedCols() const override { return 0; }
    QString cellText(int col, int row) const override
    {
        if (row == 0)
            return QStringLiteral("Column %1").arg(col);
        switch (col) {
        case 0:
            return QString::number(row - 1);
        case 1:
            return QStringLiteral("Text of entry %1, long enough to fill the column and more").arg(row - 1);
        case 2:
            return QStringLiteral("snd_%1").arg(row % 1000);
        default:
            return QStringLiteral("1.5");
        }
    }

private:
    int rows_;
};

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void paintOnce(StringGrid& grid, QImage& image)
{
    QPainter painter(&image);
    grid.viewport()->render(&painter);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long baseMegabytes = peakMegabytes();

    // Opening = making the grid, showing it and painting it once. A table
    // of 10 rows comes first so that Qt's own start-up (fonts, style) is
    // not counted against the large one.
    auto open = [](StringGrid& grid, GridModel& model) {
        const auto start = std::chrono::steady_clock::now();
        grid.resize(800, 600);
        grid.setOptions(defaultGridOptions() | goColSizing | goRowSelect | goThumbTracking);
        grid.setDefaultRowHeight(18);
        grid.setColWidth(1, 455);
        grid.setModel(&model);
        grid.show();
        QCoreApplication::processEvents();
        QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        paintOnce(grid, image);
        return seconds(start);
    };
    HugeModel smallModel(11);
    StringGrid smallGrid;
    std::printf("grid.open.11 %.4f s\n", open(smallGrid, smallModel));
    smallGrid.hide();

    HugeModel model(16777217);
    StringGrid grid;
    std::printf("grid.open.16777217 %.4f s\n", open(grid, model));
    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);

    const int paints = 200;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < paints; ++i) {
        grid.setTopRow(1 + i * 83000);
        paintOnce(grid, image);
    }
    std::printf("grid.paint %.6f s\n", seconds(start) / paints);

    start = std::chrono::steady_clock::now();
    QKeyEvent ctrlEnd(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::sendEvent(&grid, &ctrlEnd);
    paintOnce(grid, image);
    std::printf("grid.ctrl_end %.6f s\n", seconds(start));
    if (grid.row() != 16777216)
        std::printf("grid.ctrl_end.row_wrong %d row\n", grid.row());

    std::printf("grid.peak_memory %ld MB\n", peakMegabytes());
    std::printf("grid.peak_memory_over_start %ld MB\n", peakMegabytes() - baseMegabytes);
    return 0;
}
