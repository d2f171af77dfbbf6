#include "quantize.h"

#include <QHash>
#include <QVector>

#include <algorithm>

namespace {

const int paletteSize = 256;

struct Sample
{
    QRgb colour;
    int count;
};

int channel(QRgb colour, int which)
{
    return which == 0 ? qRed(colour) : which == 1 ? qGreen(colour) : qBlue(colour);
}

// A range of samples; the channel along which it spreads most decides where it is cut.
struct Box
{
    int begin;
    int end;
    int widestChannel = 0;
    int spread = 0;
    int pixels = 0;

    void measure(const QVector<Sample> &samples)
    {
        int low[3] = {255, 255, 255};
        int high[3] = {0, 0, 0};
        pixels = 0;
        for (int i = begin; i < end; ++i) {
            for (int c = 0; c < 3; ++c) {
                low[c] = std::min(low[c], channel(samples.at(i).colour, c));
                high[c] = std::max(high[c], channel(samples.at(i).colour, c));
            }
            pixels += samples.at(i).count;
        }
        spread = -1;
        for (int c = 0; c < 3; ++c) {
            if (high[c] - low[c] > spread) {
                spread = high[c] - low[c];
                widestChannel = c;
            }
        }
    }
};

QRgb average(const QVector<Sample> &samples, const Box &box)
{
    qint64 sum[3] = {0, 0, 0};
    for (int i = box.begin; i < box.end; ++i)
        for (int c = 0; c < 3; ++c)
            sum[c] += qint64(channel(samples.at(i).colour, c)) * samples.at(i).count;
    return qRgb(int((sum[0] + box.pixels / 2) / box.pixels),
                int((sum[1] + box.pixels / 2) / box.pixels),
                int((sum[2] + box.pixels / 2) / box.pixels));
}

} // namespace

QImage toIndexed256(const QImage &image)
{
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    for (int y = 0; y < opaque.height(); ++y)
        for (int x = 0; x < opaque.width(); ++x)
            ++histogram[opaque.pixel(x, y)];

    QVector<Sample> samples;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        samples.append({it.key(), it.value()});
    std::sort(samples.begin(), samples.end(),
              [](const Sample &a, const Sample &b) { return a.colour < b.colour; });

    QVector<Box> boxes = {{0, int(samples.size())}};
    boxes.first().measure(samples);
    while (boxes.size() < paletteSize) {
        // Cut the box whose colours spread widest, weighted by how much of the picture it
        // covers, so that large smooth areas get the finer steps.
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box &a, const Box &b) {
            return qint64(a.spread) * a.pixels < qint64(b.spread) * b.pixels;
        });
        if (widest->spread <= 0)
            break;
        Box box = *widest;
        const int c = box.widestChannel;
        std::sort(samples.begin() + box.begin, samples.begin() + box.end,
                  [c](const Sample &a, const Sample &b) {
                      return channel(a.colour, c) < channel(b.colour, c);
                  });
        int half = 0;
        int cut = box.begin;
        while (cut < box.end - 1 && half + samples.at(cut).count <= box.pixels / 2)
            half += samples.at(cut++).count;
        cut = std::max(cut, box.begin + 1);
        Box low = {box.begin, cut};
        Box high = {cut, box.end};
        low.measure(samples);
        high.measure(samples);
        *widest = low;
        boxes.append(high);
    }

    QVector<QRgb> table;
    for (const Box &box : boxes)
        table.append(average(samples, box));
    table.resize(paletteSize);
    std::fill(table.begin() + boxes.size(), table.end(), qRgb(0, 0, 0));
    return opaque.convertToFormat(QImage::Format_Indexed8, table);
}
