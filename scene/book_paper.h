// What a book's pages are printed on: the paper's name in scenes, how thick a page of it is,
// the colour of its edges.
#pragma once
#include "colour_value.h"

enum PaperKind { PaperWhite, PaperCream, PaperColour, kPaperCount };
extern const char* const g_paperNames[kPaperCount + 1];  // null-terminated

struct PaperRow {
    double inchesPerPage;  // the print-on-demand printers' published calipers
    Colour edgeColour;   // the page block's edges
};
const PaperRow& PaperOf(int paper);

// The page block's thickness for that many pages, inches.
double PageBlockInches(int pages, int paper);
