// A console reporter that also keeps each benchmark's time (the median when the run
// has repetitions, else the single run), in seconds of real time per iteration, so
// that a program can print its ratio lines after the table.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sorvanta::bench {

class MedianReporter : public benchmark::ConsoleReporter {
 public:
  // Called after the table, with the times gathered.
  explicit MedianReporter(std::function<void(const MedianReporter&)> printLines)
      : printLines_(std::move(printLines)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type == Run::RT_Iteration || median) && !run.error_occurred) {
        const std::string& args = run.run_name.args;
        times_[run.run_name.function_name + (args.empty() ? "" : "/" + args)] =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::fflush(stdout);
    printLines_(*this);
  }

  // Seconds per iteration of the benchmark named by its function name and arguments
  // (without the run's options such as min_time); 0 when it did not run.
  double seconds(const std::string& name) const {
    const auto found = times_.find(name);
    return found == times_.end() ? 0.0 : found->second;
  }

 private:
  std::function<void(const MedianReporter&)> printLines_;
  std::map<std::string, double> times_;
};

}  // namespace sorvanta::bench
