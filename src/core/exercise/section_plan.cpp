#include "core/exercise/section_plan.h"

#include "core/timing/time_line.h"

#include <QtGlobal>

namespace Core {

void SectionPlan::Clear()
{
    titles.clear();
    pools.clear();
    skipped.clear();
}

void SectionPlan::SetTitles(std::vector<Title> newTitles)
{
    titles = std::move(newTitles);
    pools.assign(titles.size(), {});
    skipped.assign(titles.size(), false);
    if (table.size() < titles.size())
        table.resize(titles.size());
}

void SectionPlan::SetTable(const std::vector<Section>& newTable)
{
    table = newTable;
    if (table.size() < titles.size())
        table.resize(titles.size());
}

int SectionPlan::QuestionCount(int section) const
{
    return InTable(section) ? table[size_t(section)].questionCount : 0;
}

int SectionPlan::TicksPerQuestion(int section) const
{
    return InTable(section) ? qMax(0, table[size_t(section)].msPerQuestion / TickMs) : 0;
}

bool SectionPlan::CanAsk(int section) const
{
    if (!InTable(section) || size_t(section) >= pools.size())
        return false;
    return table[size_t(section)].questionCount > 0 && !pools[size_t(section)].empty() &&
           !skipped[size_t(section)];
}

void SectionPlan::AddSegments(TimeLine& timeline) const
{
    for (const Title& title : titles)
        timeline.AddSegment(title.shortName, 50);
}

void SectionPlan::SetDurations(TimeLine& timeline) const
{
    const int count = timeline.SegmentCount();
    for (int i = 0; i < count && InTable(i); ++i) {
        const int k = TicksPerQuestion(i);
        const int duration = qMax(0, table[size_t(i)].questionCount) * (k > 0 ? k : UnlimitedTicks);
        if (timeline.SegmentDuration(i) != duration)
            timeline.SetSegmentDuration(i, duration);
    }
}

} // namespace Core
