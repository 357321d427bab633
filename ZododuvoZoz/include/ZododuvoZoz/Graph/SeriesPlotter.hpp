#pragma once
// What every plotter keeps the same way: its series and its delegate, held weakly, which hears
// when the series is replaced and when the plotter asks to be drawn again.
#include <memory>

#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz {

class SeriesPlotter : public IDataPlotter {
public:
    const DataSeries& data() const override { return data_; }
    std::shared_ptr<PlotterDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) override { delegate_ = delegate; }
    /// Stores the series, then hands it to the delegate when there is one.
    void setData(const DataSeries& data) override;

protected:
    SeriesPlotter() = default;
    explicit SeriesPlotter(const DataSeries& data) : data_(data) {}

    /// Asks the delegate, when there is one, to draw this plotter again.
    void requestRedraw();
    /// Drops the delegate and empties the series: what clear() does besides taking its layers away.
    void forgetSeries();

private:
    DataSeries data_;
    std::weak_ptr<PlotterDelegate> delegate_;
};

}  // namespace ZododuvoZoz
