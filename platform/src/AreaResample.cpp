#include "AreaResample.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

// The source pixels one destination pixel covers along one axis, with the share
// of each: the destination's cell [i, i + 1) spans [i * ratio, (i + 1) * ratio).
struct Span
{
    std::int32_t first = 0;
    std::size_t weights = 0;  // offset into the weight list
    std::int32_t count = 0;
};

std::vector<Span> Spans(std::int32_t sourceLength, std::int32_t destinationLength, std::int32_t firstCell, std::int32_t endCell,
                        std::vector<float>& weights)
{
    const double ratio = double(sourceLength) / destinationLength;
    std::vector<Span> spans;
    spans.reserve(std::size_t(endCell - firstCell));
    for (std::int32_t i = firstCell; i < endCell; ++i)
    {
        const double from = i * ratio, to = std::min((i + 1) * ratio, double(sourceLength));
        Span span;
        span.first = std::min(static_cast<std::int32_t>(std::floor(from)), sourceLength - 1);
        span.weights = weights.size();
        for (std::int32_t k = span.first; k < sourceLength && k < to; ++k, ++span.count)
            weights.push_back(static_cast<float>((std::min(to, k + 1.0) - std::max(from, double(k))) / ratio));
        spans.push_back(span);
    }
    return spans;
}

}  // namespace

void AreaResample(const PixelRows& source, const GXRect& from, const PixelRows& destination, const GXRect& to)
{
    const std::int32_t firstColumn = std::max(0, -to.left), endColumn = std::min(to.Width(), destination.width - to.left);
    const std::int32_t firstRow = std::max(0, -to.top), endRow = std::min(to.Height(), destination.height - to.top);
    if (firstColumn >= endColumn || firstRow >= endRow) return;
    std::vector<float> columnWeights, rowWeights;
    const std::vector<Span> columns = Spans(from.Width(), to.Width(), firstColumn, endColumn, columnWeights);
    const std::vector<Span> rows = Spans(from.Height(), to.Height(), firstRow, endRow, rowWeights);

    // Across first: each source row the destination rows need, averaged into the
    // destination's columns as alpha-weighted colour and alpha.
    const std::int32_t sourceTop = rows.front().first;
    const std::int32_t sourceEnd = rows.back().first + rows.back().count;
    const std::size_t width = columns.size();
    std::vector<float> across(std::size_t(sourceEnd - sourceTop) * width * 4, 0.0f);
    for (std::int32_t y = sourceTop; y < sourceEnd; ++y)
    {
        const std::uint8_t* in = source.base + std::size_t(from.top + y) * source.stride + std::size_t(from.left) * 4;
        float* out = &across[std::size_t(y - sourceTop) * width * 4];
        for (const Span& span : columns)
        {
            float sum[4] = {};
            for (std::int32_t k = 0; k < span.count; ++k)
            {
                const std::uint8_t* p = in + std::size_t(span.first + k) * 4;
                const float weight = columnWeights[span.weights + std::size_t(k)] * p[3];
                sum[0] += weight * p[0], sum[1] += weight * p[1], sum[2] += weight * p[2];
                sum[3] += columnWeights[span.weights + std::size_t(k)] * p[3];
            }
            std::copy(sum, sum + 4, out);
            out += 4;
        }
    }
    for (std::size_t j = 0; j < rows.size(); ++j)
    {
        const Span& span = rows[j];
        std::uint8_t* out = destination.base + std::size_t(to.top + firstRow + std::int32_t(j)) * destination.stride +
                            std::size_t(to.left + firstColumn) * 4;
        for (std::size_t i = 0; i < width; ++i, out += 4)
        {
            float sum[4] = {};
            for (std::int32_t k = 0; k < span.count; ++k)
            {
                const float weight = rowWeights[span.weights + std::size_t(k)];
                const float* p = &across[(std::size_t(span.first + k - sourceTop) * width + i) * 4];
                for (int c = 0; c < 4; ++c) sum[c] += weight * p[c];
            }
            for (int c = 0; c < 3; ++c)
                out[c] = sum[3] > 0.0f ? static_cast<std::uint8_t>(std::clamp(std::lround(sum[c] / sum[3]), 0L, 255L)) : 0;
            out[3] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[3]), 0L, 255L));
        }
    }
}
