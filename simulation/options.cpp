#include "simulation/options.h"

#include <charconv>
#include <cstdint>

namespace dravik {

namespace {

// A whole decimal number, digits only, that fits `T`.
template <class T>
bool parseWhole(const std::string& text, T& value) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args, unsigned hardwareThreads) {
  CommandLine line;
  auto fail = [&line](const std::string& message) {
    line.action = CommandLine::Action::usageError;
    line.error = "Dravik: " + message;
    return line;
  };
  for (std::size_t a = 0; a < args.size(); ++a) {
    std::string name = args[a];
    std::string value;
    bool hasValue = false;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      hasValue = true;
    }
    if (name == "--help" || name == "-h") {
      if (hasValue) return fail("option " + name + " takes no value");
      line.action = CommandLine::Action::help;
      return line;
    }
    if (name != "--threads" && name != "--seed" && name != "--batches") {
      return fail("unknown option '" + args[a] + "'");
    }
    if (!hasValue) {
      if (a + 1 >= args.size()) return fail("option " + name + " needs a value");
      value = args[++a];
    }
    line.options.batched = true;
    if (name == "--threads") {
      if (value == "auto") {
        line.options.batch.threads = hardwareThreads > 0 ? static_cast<int>(hardwareThreads) : 1;
        continue;
      }
      int n = 0;
      if (!parseWhole(value, n) || n < 1) {
        return fail("--threads '" + value +
                    "' is not a thread count (a whole number of 1 or more, "
                    "or auto)");
      }
      line.options.batch.threads = n;
    } else if (name == "--seed") {
      std::uint64_t s = 0;
      if (!parseWhole(value, s)) {
        return fail("--seed '" + value + "' is not a seed (a whole number from 0 to " +
                    "18446744073709551615)");
      }
      line.options.batch.seed = s;
    } else {
      int b = 0;
      if (!parseWhole(value, b) || b < 2 || b > kMaxBatches) {
        return fail("--batches '" + value + "' is not a batch count (a whole number from 2 to " +
                    std::to_string(kMaxBatches) + ")");
      }
      line.options.batch.batches = b;
    }
  }
  return line;
}

}  // namespace dravik
