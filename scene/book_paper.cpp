#include "book_paper.h"

#include <algorithm>

const char* const g_paperNames[kPaperCount + 1] = {"white", "cream", "colour", nullptr};

namespace {
const PaperRow kPapers[kPaperCount] = {
    {0.002252, MakeColour(246, 245, 240)},
    {0.0025, MakeColour(240, 229, 204)},
    {0.002347, MakeColour(248, 248, 246)},
};
} // namespace

const PaperRow& PaperOf(int paper)
{
    return kPapers[std::clamp(paper, 0, kPaperCount - 1)];
}

double PageBlockInches(int pages, int paper)
{
    return std::max(pages, 0) * PaperOf(paper).inchesPerPage;
}
