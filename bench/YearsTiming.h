#pragma once

// The search across years over a data root of many large years: the years are
// copies of the installation's own, each with its dates moved into its year.

namespace velmora {
class YearSession;
} // namespace velmora

namespace velmora::bench {

struct YearSearchFigures {
    int years = 0;
    double rows = 0;
    double ms = 0;
};

// Makes the `count` - 1 years before the current one beside it, once, then times
// the search over all of them with no text filter and the whole range: every
// entry of every year listed. Throws std::runtime_error when a year cannot be made.
YearSearchFigures timeYearSearch(YearSession& session, int count, int runs);

} // namespace velmora::bench
