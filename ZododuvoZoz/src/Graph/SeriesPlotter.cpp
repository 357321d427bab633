#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

void SeriesPlotter::setData(const DataSeries& data) {
    data_ = data;
    if (auto delegate = delegate_.lock()) delegate->dataChanged(data_, shared_from_this());
}

void SeriesPlotter::requestRedraw() {
    if (auto delegate = delegate_.lock()) delegate->redraw(shared_from_this());
}

void SeriesPlotter::forgetSeries() {
    delegate_.reset();
    data_.clear();
}

}  // namespace ZododuvoZoz
