#include "audio/FilterGraphRecord.h"

#include "platform/base/Numbers.h"

GraphPositionReading ReadGraphPosition(const FilterGraphRecord& graph, std::int32_t kind, std::int32_t lengthMs,
                                       std::int32_t toMs)
{
    const double p = graph.Seeking != nullptr ? graph.Seeking->CurrentPosition() * 1000.0 : 0.0;
    GraphPositionReading reading;
    switch (kind) {
    case 0:
        reading.value = static_cast<std::int32_t>(numeric::RoundToInt64(p));
        break;
    case 1:
        reading.value = static_cast<std::int32_t>(numeric::RoundToInt64(lengthMs - p));
        break;
    case 2:
        reading.value = static_cast<std::int32_t>(numeric::RoundToInt64(toMs - p));
        break;
    default:
        break;
    }
    reading.pastEndPoint = toMs > 0 && toMs != lengthMs && p > toMs;
    return reading;
}
