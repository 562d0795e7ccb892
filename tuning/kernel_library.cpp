#include "tuning/kernel_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>

#include "simulation/engine.h"
#include "simulation/physics_data.h"
#include "simulation/square_fields.h"

static_assert(std::endian::native == std::endian::little,
              "the kernel library is read and written as little-endian bytes");

namespace tuning {

namespace {

constexpr char kMagic[8] = {'D', 'R', 'V', 'K', 'L', 'I', 'B', '1'};
constexpr std::uint64_t kFnvOffset = 1469598103934665603ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;
constexpr const char* kRebuild = "; run `beamfit library` to build it";

std::uint64_t fnv1a(const void* data, std::size_t n, std::uint64_t h = kFnvOffset) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < n; ++i) {
    h ^= p[i];
    h *= kFnvPrime;
  }
  return h;
}

template <class T>
void put(std::vector<unsigned char>& out, const T& v) {
  const auto* p = reinterpret_cast<const unsigned char*>(&v);
  out.insert(out.end(), p, p + sizeof(T));
}

template <class T>
T get(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof(T));
  return v;
}

std::size_t blockFloats(int batches) { return static_cast<std::size_t>(batches) * kCurveValues; }

int filledCount(const LibraryPlan& plan) {
  int n = 0;
  for (int bin = 1; bin <= kBins; ++bin) n += plan.histories[bin] > 0;
  return n;
}

std::size_t fileBytes(const LibraryPlan& plan) {
  return kHeadBytes + filledCount(plan) * blockFloats(plan.batches) * sizeof(float) +
         sizeof(std::uint64_t);
}

// The 1728-byte head shared by the library and its partial file.
std::vector<unsigned char> encodeHead(const LibraryIdentity& id, const LibraryPlan& plan) {
  std::vector<unsigned char> out;
  out.reserve(kHeadBytes);
  out.insert(out.end(), kMagic, kMagic + 8);
  put<std::uint32_t>(out, kLibraryLayoutVersion);
  put<std::uint32_t>(out, kHeaderBytes);
  char engine[32] = {};
  std::strncpy(engine, id.engineVersion.c_str(), sizeof(engine) - 1);
  out.insert(out.end(), engine, engine + 32);
  put<std::uint64_t>(out, id.waterChecksum);
  put<std::uint64_t>(out, id.eldatChecksum);
  put<std::uint64_t>(out, plan.seed);
  put<std::uint32_t>(out, kBins);
  put<std::uint32_t>(out, static_cast<std::uint32_t>(plan.batches));
  put<std::uint32_t>(out, kFields);
  put<std::uint32_t>(out, kDepths);
  out.resize(kHeaderBytes, 0);
  for (int b = 1; b <= kBins; ++b) put<std::int32_t>(out, plan.histories[b]);
  return out;
}

// Reads the whole of a file; nothing when it cannot be opened.
std::optional<std::vector<unsigned char>> readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// Writes all bytes to a POSIX descriptor and flushes them to the disk.
bool writeAll(int fd, const void* data, std::size_t n) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

// Relative cost of one history of bin `bin`: the transport follows more and longer secondary
// tracks at higher energies (measured with bench/library_bench: about 1 + E / 14 MeV).
double historyCost(int bin) { return 1.0 + (50.0 * bin - 25.0) / 14000.0; }

// Histories of a bin of weight 1 and cost 1 in the default plan: about 1.1e8 histories in all,
// which puts the 1 sigma of TPR20,10 of the 10 MV preset near 0.0013.
constexpr double kDefaultHistoriesScale = 400000.0;

}  // namespace

std::int32_t KernelLibrary::batchHistories(int bin, int b) const {
  return dravik::batchShare(plan.histories[bin], b, plan.batches);
}

void KernelLibrary::derive() {
  filledBins.clear();
  slot.fill(-1);
  for (int bin = 1; bin <= kBins; ++bin) {
    if (plan.histories[bin] <= 0) continue;
    slot[bin] = static_cast<int>(filledBins.size());
    filledBins.push_back(bin);
  }
  binMeans.assign(filledBins.size() * kCurveValues, 0.0);
  for (int bin : filledBins) {
    const std::int32_t n = plan.histories[bin];
    double* m = binMeans.data() + static_cast<std::size_t>(slot[bin]) * kCurveValues;
    for (int b = 0; b < plan.batches; ++b) {
      const double w = static_cast<double>(batchHistories(bin, b)) / n;
      const float* x = batch(bin, b);
      for (int v = 0; v < kCurveValues; ++v) m[v] += w * x[v];
    }
  }
}

LibraryPlan defaultPlan(double scale) {
  // Histories per bin by the cost-weighted (Neyman) allocation n ~ a / sqrt(c): a bin's share
  // of a prediction's variance is its spectral weight times its per-history spread, and for the
  // Schiff spectra of 2 ... 20 MV the two together are about flat in energy (the fluence falls
  // as the deposit per photon rises), so a = 1 below 10 MeV, falling as 10 MeV / E above (fewer
  // beams reach those bins), and low below 0.3 MeV, whose photons deposit little in depth. The
  // cost c is 1 + E / 14 MeV per history (bench/library_bench).
  LibraryPlan plan;
  for (int bin = 1; bin <= kBins; ++bin) {
    const double E = (50.0 * bin - 25.0) / 1000.0;  // [MeV]
    double a = E < 0.3 ? std::max(0.1, E / 0.3) : 1.0;
    if (E > 10.0) a *= 10.0 / E;
    const double n = kDefaultHistoriesScale * a / std::sqrt(historyCost(bin));
    plan.histories[bin] = static_cast<std::int32_t>(std::lround(n * scale));
  }
  return plan;
}

std::optional<std::uint64_t> fileChecksum(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::uint64_t h = kFnvOffset;
  char buffer[1 << 16];
  while (in) {
    in.read(buffer, sizeof(buffer));
    h = fnv1a(buffer, static_cast<std::size_t>(in.gcount()), h);
  }
  return h;
}

IdentityOutcome currentIdentity(const std::filesystem::path& folder) {
  LibraryIdentity id;
  auto water = fileChecksum(folder / "water20.dat");
  if (!water) return {std::nullopt, "cannot read the data file water20.dat in " + folder.string()};
  auto eldat = fileChecksum(folder / "ELDAT.dat");
  if (!eldat) return {std::nullopt, "cannot read the data file ELDAT.dat in " + folder.string()};
  id.waterChecksum = *water;
  id.eldatChecksum = *eldat;
  return {id, {}};
}

BuildOutcome buildLibrary(const std::filesystem::path& dataFolder,
                          const std::filesystem::path& file, const LibraryPlan& plan,
                          const BuildOptions& options) {
  BuildOutcome outcome;
  auto id = currentIdentity(dataFolder);
  if (!id.identity) {
    outcome.message = id.error;
    return outcome;
  }
  auto shared = std::make_unique<dravik::SharedTables>();
  if (auto e = dravik::readPhysicsData(shared->tables, dataFolder)) {
    outcome.message = e->message();
    return outcome;
  }
  dravik::setUpPhantom(shared->phantom);
  if (plan.batches < 2) {
    outcome.message = "a library needs at least 2 batches per bin for its uncertainty";
    return outcome;
  }

  const std::vector<unsigned char> head = encodeHead(*id.identity, plan);
  const std::size_t block = blockFloats(plan.batches);
  const std::size_t recordBytes = 4 + block * sizeof(float) + 8;
  std::vector<float> data(static_cast<std::size_t>(kBins) * block, 0.0f);
  std::vector<char> done(kBins + 1, 0);

  // Resume from the partial file when it was left by a build of the same inputs and plan.
  std::filesystem::path partial = file;
  partial += ".partial";
  std::size_t keptBytes = 0;
  if (auto bytes = readBytes(partial); bytes && bytes->size() >= head.size() &&
                                       std::equal(head.begin(), head.end(), bytes->begin())) {
    keptBytes = head.size();
    while (keptBytes + recordBytes <= bytes->size()) {
      const unsigned char* r = bytes->data() + keptBytes;
      const auto bin = get<std::uint32_t>(r);
      const auto sum = get<std::uint64_t>(r + recordBytes - 8);
      if (bin < 1 || bin > kBins || plan.histories[bin] <= 0 || fnv1a(r, recordBytes - 8) != sum)
        break;  // a record torn by the interruption: it and anything after it is redone
      std::memcpy(data.data() + (bin - 1) * block, r + 4, block * sizeof(float));
      if (!done[bin]) ++outcome.binsResumed;
      done[bin] = 1;
      keptBytes += recordBytes;
    }
  }
  const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT, 0644);
  if (fd < 0) {
    outcome.message = "cannot write the partial library file " + partial.string() + " (" +
                      std::strerror(errno) + ")";
    return outcome;
  }
  bool writeOk = true;
  if (keptBytes == 0) {
    writeOk = ::ftruncate(fd, 0) == 0 && writeAll(fd, head.data(), head.size());
    keptBytes = head.size();
  } else {
    writeOk = ::ftruncate(fd, static_cast<off_t>(keptBytes)) == 0;
  }
  writeOk = writeOk && ::lseek(fd, 0, SEEK_END) >= 0 && ::fsync(fd) == 0;

  // The bins still to run, costliest first so that the threads finish together.
  std::vector<int> todo;
  double costTotal = 0.0;
  int binsTotal = 0;
  for (int bin = kBins; bin >= 1; --bin) {
    if (plan.histories[bin] <= 0) continue;
    ++binsTotal;
    if (!done[bin]) {
      todo.push_back(bin);
      costTotal += plan.histories[bin] * historyCost(bin);
    }
  }

  std::mutex lock;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  int binsDone = binsTotal - static_cast<int>(todo.size());
  double costDone = 0.0;
  const auto start = std::chrono::steady_clock::now();
  auto cancelled = [&] { return stop.load() || (options.cancel && options.cancel->load()); };

  auto work = [&] {
    auto worker = std::make_unique<dravik::Worker>();
    auto sums = std::make_unique<dravik::TmrTable>();
    std::vector<float> means(block);
    for (;;) {
      if (cancelled()) return;
      const std::size_t k = next.fetch_add(1);
      if (k >= todo.size()) return;
      const int bin = todo[k];
      for (int b = 0; b < plan.batches; ++b) {
        if (cancelled()) return;  // the bin in progress is lost, nothing else
        const std::int32_t n = dravik::batchShare(plan.histories[bin], b, plan.batches);
        *worker = dravik::Worker{};
        worker->rng =
            dravik::makeStream(plan.seed, static_cast<std::uint64_t>(bin - 1) * plan.batches + b);
        dravik::runBinHistories(*shared, *worker, bin, n);
        *sums = dravik::TmrTable{};
        dravik::accumulateSquareFields(worker->kernel, *sums);
        for (int f = 1; f <= kFields; ++f)
          for (int d = 1; d <= kDepths; ++d)
            means[b * kCurveValues + (f - 1) * kDepths + (d - 1)] =
                n > 0 ? static_cast<float>(static_cast<double>(sums->T(f, d)) / n) : 0.0f;
      }
      std::lock_guard<std::mutex> guard(lock);
      std::memcpy(data.data() + (bin - 1) * block, means.data(), block * sizeof(float));
      done[bin] = 1;
      std::vector<unsigned char> record;
      record.reserve(recordBytes);
      put<std::uint32_t>(record, static_cast<std::uint32_t>(bin));
      const auto* p = reinterpret_cast<const unsigned char*>(means.data());
      record.insert(record.end(), p, p + block * sizeof(float));
      put<std::uint64_t>(record, fnv1a(record.data(), record.size()));
      if (writeOk) writeOk = writeAll(fd, record.data(), record.size()) && ::fsync(fd) == 0;
      if (!writeOk) stop = true;
      ++binsDone;
      costDone += plan.histories[bin] * historyCost(bin);
      if (options.progress) {
        BuildProgress report;
        report.binsDone = binsDone;
        report.binsTotal = binsTotal;
        report.secondsElapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (costDone > 0.0)
          report.secondsLeft = report.secondsElapsed * (costTotal - costDone) / costDone;
        options.progress(report);
      }
    }
  };
  const int threads = std::max(1, std::min<int>(options.threads, static_cast<int>(todo.size())));
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  for (auto& t : pool) t.join();
  ::close(fd);

  if (!writeOk) {
    outcome.message = "cannot write the partial library file " + partial.string();
    return outcome;
  }
  if (binsDone < binsTotal) {
    outcome.status = BuildStatus::cancelled;
    return outcome;
  }

  // The complete library, written beside the target and renamed over it.
  std::vector<unsigned char> bytes = head;
  bytes.reserve(fileBytes(plan));
  for (int bin = 1; bin <= kBins; ++bin) {
    if (plan.histories[bin] <= 0) continue;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + (bin - 1) * block);
    bytes.insert(bytes.end(), p, p + block * sizeof(float));
  }
  put<std::uint64_t>(bytes, fnv1a(bytes.data(), bytes.size()));
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || !writeAll(out, bytes.data(), bytes.size()) || ::fsync(out) != 0) {
    if (out >= 0) ::close(out);
    outcome.message = "cannot write the library file " + temporary.string();
    return outcome;
  }
  ::close(out);
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    outcome.message =
        "cannot rename " + temporary.string() + " to " + file.string() + " (" + ec.message() + ")";
    return outcome;
  }
  std::filesystem::remove(partial, ec);
  outcome.status = BuildStatus::complete;
  return outcome;
}

LoadOutcome loadLibrary(const std::filesystem::path& file, const LibraryIdentity& expected) {
  const std::string name = file.string();
  auto bytes = readBytes(file);
  if (!bytes) return {std::nullopt, "the kernel library " + name + " does not exist" + kRebuild};
  const auto& b = *bytes;
  if (b.size() < kHeadBytes + 8 || std::memcmp(b.data(), kMagic, 8) != 0)
    return {std::nullopt, "the file " + name + " is not a kernel library" + kRebuild};
  const auto version = get<std::uint32_t>(b.data() + 8);
  if (version != kLibraryLayoutVersion)
    return {std::nullopt, "the kernel library " + name + " has layout version " +
                              std::to_string(version) + ", this program reads version " +
                              std::to_string(kLibraryLayoutVersion) + kRebuild};
  KernelLibrary lib;
  char engine[33] = {};
  std::memcpy(engine, b.data() + 16, 32);
  lib.identity.engineVersion = engine;
  lib.identity.waterChecksum = get<std::uint64_t>(b.data() + 48);
  lib.identity.eldatChecksum = get<std::uint64_t>(b.data() + 56);
  lib.plan.seed = get<std::uint64_t>(b.data() + 64);
  const auto bins = get<std::uint32_t>(b.data() + 72);
  const auto batches = get<std::uint32_t>(b.data() + 76);
  const auto fields = get<std::uint32_t>(b.data() + 80);
  const auto depths = get<std::uint32_t>(b.data() + 84);
  if (bins != kBins || fields != kFields || depths != kDepths || batches < 2 || batches > 1000)
    return {std::nullopt, "the kernel library " + name + " has an unknown shape" + kRebuild};
  lib.plan.batches = static_cast<int>(batches);
  for (int bin = 1; bin <= kBins; ++bin) {
    lib.plan.histories[bin] = get<std::int32_t>(b.data() + kHeaderBytes + 4 * (bin - 1));
    if (lib.plan.histories[bin] < 0)
      return {std::nullopt,
              "the kernel library " + name + " has a negative history count" + kRebuild};
  }
  const std::size_t want = fileBytes(lib.plan);
  if (b.size() != want)
    return {std::nullopt, "the kernel library " + name + " is truncated or incomplete (" +
                              std::to_string(b.size()) + " of " + std::to_string(want) + " bytes)" +
                              kRebuild};
  if (fnv1a(b.data(), b.size() - 8) != get<std::uint64_t>(b.data() + b.size() - 8))
    return {std::nullopt,
            "the kernel library " + name + " is damaged (checksum mismatch)" + kRebuild};
  if (lib.identity.engineVersion != expected.engineVersion)
    return {std::nullopt, "the kernel library " + name + " was built by the engine \"" +
                              lib.identity.engineVersion + "\", not the current \"" +
                              expected.engineVersion + "\"" + kRebuild};
  if (lib.identity.waterChecksum != expected.waterChecksum)
    return {std::nullopt,
            "the kernel library " + name + " was built from another water20.dat" + kRebuild};
  if (lib.identity.eldatChecksum != expected.eldatChecksum)
    return {std::nullopt,
            "the kernel library " + name + " was built from another ELDAT.dat" + kRebuild};
  lib.batchMeans.resize(filledCount(lib.plan) * blockFloats(lib.plan.batches));
  std::memcpy(lib.batchMeans.data(), b.data() + kHeadBytes, lib.batchMeans.size() * sizeof(float));
  lib.derive();
  return {std::move(lib), {}};
}

LoadOutcome loadLibrary(const std::filesystem::path& folder) {
  auto id = currentIdentity(folder);
  if (!id.identity) return {std::nullopt, id.error};
  return loadLibrary(folder / kLibraryFileName, *id.identity);
}

}  // namespace tuning
