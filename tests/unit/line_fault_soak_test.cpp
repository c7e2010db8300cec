// Transfers of every kind over a line with seeded faults on the unit's output.
// Each must end in success with exactly what the unit holds (for writes: the
// unit holding exactly what was written), or in a failure the user is told
// of, with nothing kept as good and nothing overwritten.
//
// The CI test runs a fixed list of seeds. The long run (scripts/soak) runs
// ARDENVIS_SOAK_COUNT transfers from ARDENVIS_SOAK_SEED, optionally only the
// kinds named in ARDENVIS_SOAK_KINDS, and prints the counts per kind.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>

#include "config/camera_database.h"
#include "config/config_image.h"
#include "config/config_transfer.h"
#include "live/live_frame.h"
#include "logger/download.h"
#include "logger/log_index.h"
#include "sim/config_memory.h"
#include "sim/live_frames.h"
#include "unit/camera_fixture.h"
#include "unit/logger_fixture.h"

namespace ardenvis::core {
namespace {

using testing::LoggerBench;

enum class SoakKind {
  DownloadFlash,
  DownloadLite,
  ConfigRead,
  ConfigWrite,
  CameraUpload,
  CameraCheck,
  LivePoll
};
constexpr int kSoakKinds = 7;
const char* const kSoakKindNames[kSoakKinds] = {"download-flash", "download-lite", "config-read",
                                                "config-write",   "camera-upload", "camera-check",
                                                "live-poll"};

struct SoakRun {
  bool succeeded = false;
  std::string problem;  // empty: the property held
  std::string faults;   // the injector's summary
  std::string report;   // what happened, and how to run it again
};

// What a transfer left: compared between a clean run and a run with faults.
struct Left {
  bool succeeded = false;
  std::vector<uint8_t> kept;  // what the program kept as the unit's (or the unit as written)
  std::string detail;         // for the report of a broken property
  std::string problem;        // a broken property seen by the transfer's own run
};

// A bench whose line gets faults once the clean preparation is done.
struct SoakBench : LoggerBench {
  void faults_on(uint64_t seed, double rate, size_t expected_bytes) {
    unit.set_line_faults({seed, rate}, false);
    unit.line_faults()->start_transfer(expected_bytes);
  }
  // A warning or error, other than the question before an erase.
  bool shown(MessageKind kind) const {
    for (const auto& m : host.messages) {
      if (m.kind == kind && m.text != camera_message::erase_question) return true;
    }
    return false;
  }
  bool shown(const std::string& text) const {
    for (const auto& m : host.messages) {
      if (m.text == text) return true;
    }
    return false;
  }
  std::string messages() const {
    std::string all;
    for (const auto& m : host.messages) all += "\n    \"" + m.text + "\"";
    return all;
  }
};

std::vector<uint8_t> session_bytes(int records, uint8_t salt) {
  std::vector<uint8_t> bytes = testing::sample_records(records);
  for (size_t i = 0; i < bytes.size(); i += 12) bytes[i + 10] = salt;
  return bytes;
}

// Index read and download of the newest session; flash (firmware 422, with
// resends) or lite. A stopped download keeps the blocks that passed.
Left run_download(SoakBench& b, bool lite, const std::function<void()>& faults_on) {
  b.firmware(422);
  if (lite) {
    b.unit.options().unit_type = 2;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 1500; ++i) bytes.push_back(static_cast<uint8_t>(i * 7 % 251 + 1));
    b.memory().set_lite_recording(bytes, 10, 1);
  } else {
    b.memory().store_session({session_bytes(150, 3), 10});
    b.memory().store_session({session_bytes(180, 9), 20});
  }
  b.memory().config()[kPulsesPerRevAddress] = 2;
  faults_on();
  Left left;
  const int index = getLogIndex(b.state, b.host);
  const DataSet& slot = b.state.data_set(DataSetId::A);
  if (index != kIndexOk) {
    left.detail = "index " + std::to_string(index);
    if (slot.has_data() || !slot.raw.empty()) left.problem = "the slot holds data";
    return left;
  }
  const DownloadResult r = downloadLogSession(b.state, b.host, {1, DataSetId::A, false, false});
  left.detail = "outcome " + std::to_string(static_cast<int>(r.outcome)) + ", " +
                std::to_string(r.received) + " of " + std::to_string(r.length);
  left.succeeded = r.outcome == DownloadOutcome::Complete;
  if (r.outcome == DownloadOutcome::Complete || r.outcome == DownloadOutcome::StoppedEarly) {
    left.kept = slot.raw;
    left.kept.resize(slot.held_byte_count);
    if (slot.unit) {
      const auto& id = *slot.unit;
      const auto& o = b.unit.options();
      if (id.unit_type != o.unit_type || id.identity_word != o.identity_word ||
          id.distance_factor != o.distance_factor || id.third_word != o.third_word ||
          (!lite && id.pulses_per_rev != 2)) {
        left.problem = "the identity differs from the unit's";
      }
    }
  } else if (slot.has_data() || !slot.raw.empty()) {
    left.problem = "the slot holds data";
  }
  return left;
}

Left run_config_read(SoakBench& b, const std::function<void()>& faults_on) {
  b.firmware(422);
  ConfigEditor editor{b.state.config, b.state.calculator};
  setup_configure_form(editor);
  b.state.config.buffer.eeprom_staging()[10] = 0x44;
  const auto before = b.state.config.buffer.bytes;
  faults_on();
  const TransferResult r = get_config_data(editor, b.state.link, b.host);
  Left left;
  left.succeeded = r == TransferResult::Ok || r == TransferResult::RangeWarning;
  left.detail = "result " + std::to_string(static_cast<int>(r));
  if (left.succeeded) {
    left.kept.assign(b.state.config.buffer.bytes.begin(), b.state.config.buffer.bytes.end());
  } else if (b.state.config.buffer.bytes != before) {
    left.problem = "the configuration buffer changed";
  }
  return left;
}

Left run_config_write(SoakBench& b, const std::function<void()>& faults_on) {
  b.firmware(422);
  ConfigEditor editor{b.state.config, b.state.calculator};
  setup_configure_form(editor);
  get_config_data(editor, b.state.link, b.host);
  editor.set_text(FieldId::veh_weight, "1111");
  editor.set_value(FieldId::AbNumEdit8, -33.25);
  editor.set_item(FieldId::ComboBox5, 4);
  b.host.messages.clear();
  faults_on();
  const TransferResult r = set_config_data(editor, b.state.link, b.host);
  Left left;
  left.succeeded = r == TransferResult::Ok;
  left.detail = "result " + std::to_string(static_cast<int>(r));
  if (left.succeeded) {
    auto& memory = b.unit.config_memory();
    left.kept.assign(memory.eeprom().begin(), memory.eeprom().end());
    left.kept.insert(left.kept.end(), memory.fram().begin(), memory.fram().end());
  }
  return left;
}

struct CameraSoak {
  testing::RecordingMemo memo;
  void load(SoakBench& b) {
    testing::CamFile file(1000);
    load_camera_database(b.state.camera, file.text(), "soak.cam", b.host, memo,
                         b.state.config_cancel);
  }
};

Left run_camera_upload(SoakBench& b, const std::function<void()>& faults_on) {
  b.firmware(424);
  CameraSoak camera;
  camera.load(b);
  b.host.messages.clear();
  faults_on();
  // The erase question is answered with the negative default: erase and write.
  const CameraTransferResult r = writeFlashData(b.state, b.host, camera.memo);
  Left left;
  left.succeeded = r.outcome == CameraTransferOutcome::Succeeded;
  left.detail = "outcome " + std::to_string(static_cast<int>(r.outcome));
  if (left.succeeded) {
    const auto& flash = b.memory().flash();
    left.kept.assign(flash.begin(), flash.begin() + static_cast<long>(b.state.camera.data.size()));
    if (left.kept != b.state.camera.data) left.problem = "the unit's copy differs from the file";
  }
  return left;
}

Left run_camera_check(SoakBench& b, const std::function<void()>& faults_on) {
  b.firmware(424);
  CameraSoak camera;
  camera.load(b);
  writeFlashData(b.state, b.host, camera.memo);
  b.host.messages.clear();
  faults_on();
  const CameraTransferResult r = readFlashData(b.state, b.host, camera.memo);
  Left left;
  left.succeeded = r.outcome == CameraTransferOutcome::Succeeded;
  left.detail = "outcome " + std::to_string(static_cast<int>(r.outcome));
  if (left.succeeded) left.kept = b.state.camera.read_back;
  // The unit holds the file: a corrupted read may fail, never condemn it.
  if (b.shown(camera_message::test_failed)) left.problem = "the test said FAILED";
  return left;
}

// Twenty polls of a car standing still in time: each gives the unit's frame
// or no frame at all.
Left run_live_poll(SoakBench& b, const std::function<void()>& faults_on) {
  b.unit.live_frames().set_clock([] { return 12.5; });
  faults_on();
  Left left;
  left.succeeded = true;
  for (int poll = 0; poll < 20; ++poll) {
    const FrameReader reader = poll % 2 ? FrameReader::SystemCheck : FrameReader::VirtualDisplay;
    const std::optional<LiveFrame> frame = poll_live_frame(b.state.link, b.host, reader);
    if (!frame) {
      left.succeeded = false;
      left.kept.push_back(0);
      continue;
    }
    left.kept.push_back(static_cast<uint8_t>(poll + 1));
    left.kept.insert(left.kept.end(), frame->bytes.begin(), frame->bytes.end());
  }
  return left;
}

Left run_kind(SoakKind kind, SoakBench& b, const std::function<void()>& faults_on) {
  switch (kind) {
    case SoakKind::DownloadFlash:
      return run_download(b, false, faults_on);
    case SoakKind::DownloadLite:
      return run_download(b, true, faults_on);
    case SoakKind::ConfigRead:
      return run_config_read(b, faults_on);
    case SoakKind::ConfigWrite:
      return run_config_write(b, faults_on);
    case SoakKind::CameraUpload:
      return run_camera_upload(b, faults_on);
    case SoakKind::CameraCheck:
      return run_camera_check(b, faults_on);
    case SoakKind::LivePoll:
      return run_live_poll(b, faults_on);
  }
  return {};
}

// The transfer without faults: what success must give, and how much the
// unit sends (the span the faults are spread over).
struct Clean {
  Left left;
  size_t output_bytes = 0;
};
const Clean& clean_run(SoakKind kind) {
  static std::map<SoakKind, Clean> runs;
  auto it = runs.find(kind);
  if (it != runs.end()) return it->second;
  SoakBench b;
  Clean clean;
  clean.left = run_kind(kind, b, [&] { b.faults_on(0, 0, 1); });
  clean.output_bytes = b.unit.line_faults()->transfer_bytes();
  return runs[kind] = clean;
}

// Live polls: each poll is a frame equal to the clean one, or no frame.
bool live_polls_agree(const std::vector<uint8_t>& faulty, const std::vector<uint8_t>& clean) {
  const size_t frame = sizeof(LiveFrame::bytes);
  size_t f = 0, c = 0;
  while (f < faulty.size() && c < clean.size()) {
    if (faulty[f] == 0) {
      ++f;
      c += 1 + frame;
      continue;
    }
    if (!std::equal(faulty.begin() + static_cast<long>(f),
                    faulty.begin() + static_cast<long>(f + 1 + frame),
                    clean.begin() + static_cast<long>(c))) {
      return false;
    }
    f += 1 + frame;
    c += 1 + frame;
  }
  return f == faulty.size() && c == clean.size();
}

SoakRun soak(SoakKind kind, uint64_t seed, double rate) {
  const Clean& clean = clean_run(kind);
  SoakRun run;
  if (!clean.left.succeeded) {
    run.problem = "the transfer fails without faults: " + clean.left.detail;
    return run;
  }
  SoakBench b;
  const Left left = run_kind(kind, b, [&] { b.faults_on(seed, rate, clean.output_bytes); });
  run.faults = b.unit.line_faults()->summary();
  run.succeeded = left.succeeded;
  std::string problem = left.problem;
  const bool success_shown =
      b.shown(camera_message::upload_ok) || b.shown(camera_message::test_passed) ||
      b.shown(config_transfer_message::downloaded) || b.shown(config_transfer_message::uploaded);
  const bool failure_shown =
      b.shown(MessageKind::Warning) || b.shown(MessageKind::Error) ||
      b.shown(message::download_cancelled) || b.shown(message::lite_download_cancelled) ||
      b.shown(camera_message::upload_cancelled) || b.shown(camera_message::download_cancelled);
  if (kind == SoakKind::LivePoll) {
    if (!live_polls_agree(left.kept, clean.left.kept)) problem = "a frame differs from the unit's";
  } else if (left.succeeded) {
    if (left.kept != clean.left.kept) problem = "success, but what is kept differs from the unit's";
    if (failure_shown && kind != SoakKind::DownloadFlash && kind != SoakKind::DownloadLite) {
      problem += " success with a failure message";
    }
  } else {
    // Stopped downloads keep the blocks that passed, and only those.
    const auto& good = clean.left.kept;
    if (left.kept.size() > good.size() ||
        !std::equal(left.kept.begin(), left.kept.end(), good.begin())) {
      problem += " failed, but kept bytes that are not the unit's";
    }
    if (!failure_shown) problem += " failed without a failure message";
    if (success_shown) problem += " failed, but said it succeeded";
  }
  {
    std::ostringstream report;
    report << kSoakKindNames[static_cast<int>(kind)] << " seed " << seed << " rate " << rate << ": "
           << problem << " (" << left.detail << ")\n  faults: " << run.faults
           << "\n  messages:" << b.messages()
           << "\n  reproduce: ARDENVIS_SOAK_COUNT=1 ARDENVIS_SOAK_SEED=" << seed
           << " ARDENVIS_SOAK_RATE=" << rate
           << " ARDENVIS_SOAK_KINDS=" << kSoakKindNames[static_cast<int>(kind)]
           << " unit_tests --gtest_filter=LineFaultSoak.LongRun";
    run.report = report.str();
    run.problem = problem;
  }
  return run;
}

TEST(LineFaultSoak, EveryKindOfTransferSucceedsExactlyOrFailsSaying) {
  for (int k = 0; k < kSoakKinds; ++k) {
    int succeeded = 0, failed = 0;
    for (uint64_t seed = 1; seed <= 60; ++seed) {
      const SoakRun run = soak(static_cast<SoakKind>(k), seed, 1.5);
      EXPECT_EQ(run.problem, "") << run.report;
      (run.succeeded ? succeeded : failed)++;
    }
    // Both ends are reached: the faults bite, and transfers get through.
    // (The lite download and the configuration write have no resend, so one
    // bad reply ends them.)
    EXPECT_GT(succeeded, 0) << kSoakKindNames[k];
    EXPECT_GT(failed, 0) << kSoakKindNames[k];
  }
}

TEST(LineFaultSoak, LongRun) {
  const char* count_text = std::getenv("ARDENVIS_SOAK_COUNT");
  if (!count_text) GTEST_SKIP() << "set ARDENVIS_SOAK_COUNT (scripts/soak)";
  const long count = std::strtol(count_text, nullptr, 10);
  const char* seed_text = std::getenv("ARDENVIS_SOAK_SEED");
  const uint64_t first_seed = seed_text ? std::strtoull(seed_text, nullptr, 10) : 1000;
  const char* rate_text = std::getenv("ARDENVIS_SOAK_RATE");
  const double rate = rate_text ? std::strtod(rate_text, nullptr) : 1.5;
  std::vector<SoakKind> kinds;
  const std::string wanted =
      std::getenv("ARDENVIS_SOAK_KINDS") ? std::getenv("ARDENVIS_SOAK_KINDS") : "";
  for (int k = 0; k < kSoakKinds; ++k) {
    if (wanted.empty() || wanted.find(kSoakKindNames[k]) != std::string::npos) {
      kinds.push_back(static_cast<SoakKind>(k));
    }
  }
  ASSERT_FALSE(kinds.empty());
  std::map<SoakKind, std::pair<int, int>> counts;
  const auto start = std::chrono::steady_clock::now();
  long broken = 0;
  for (long i = 0; i < count; ++i) {
    const SoakKind kind = kinds[static_cast<size_t>(i) % kinds.size()];
    const uint64_t seed = first_seed + static_cast<uint64_t>(i) / kinds.size();
    const SoakRun run = soak(kind, seed, rate);
    if (!run.problem.empty()) {
      ++broken;
      ADD_FAILURE() << run.report;
    }
    if (std::getenv("ARDENVIS_SOAK_VERBOSE")) std::printf("%s\n", run.report.c_str());
    (run.succeeded ? counts[kind].first : counts[kind].second)++;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("soak: %ld transfers from seed %llu at %.2f faults a transfer, %.1f s\n", count,
              static_cast<unsigned long long>(first_seed), rate, seconds);
  for (const auto& [kind, c] : counts) {
    std::printf("  %-15s %5d succeeded %5d failed\n", kSoakKindNames[static_cast<int>(kind)],
                c.first, c.second);
  }
  std::printf("  property broken: %ld\n", broken);
}

}  // namespace
}  // namespace ardenvis::core
