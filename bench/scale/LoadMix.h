#pragma once
// The searches of the load benchmark: one user's mix over the pages whose conditions are typed,
// each time with other values drawn from the generated products (pdm-seed --scale), so that
// the server cannot answer from one cached result. Dates start eleven years back, so that the
// ten years of generated drawings count.
#include <QString>
#include <functional>
#include <vector>

namespace zq::bench {

class SearchWindow;

struct LoadSearch {
    QString page;     // the tab's caption
    QString name;     // what is searched, for the figures
    // Sets the page's conditions for the draw `draw` among `products` generated products.
    std::function<bool(SearchWindow&, quint64 draw, int products)> conditions;
};

const std::vector<LoadSearch>& LoadMix();

// The number of the generated product a draw picks among `products`: "0001", "0002", ...
QString LoadProductNumber(quint64 draw, int products);
// The first day of the searches' date conditions, eleven years before the bench's today.
QString LoadFromDate();

// The tabs of the demo page list left out of the mix, each with the reason.
QStringList TabsLeftOutOfTheLoadMix();

} // namespace zq::bench
