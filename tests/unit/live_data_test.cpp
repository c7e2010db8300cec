// Live-data frames read from a line that carries hand-written bytes, and what
// the virtual dashboard and the system check make of them.

#include <gtest/gtest.h>

#include <deque>

#include "link/commands.h"
#include "link/unit_session.h"
#include "live/live_frame.h"
#include "live/live_link.h"
#include "live/system_check.h"
#include "live/virtual_display.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

// A line on which every "u" is answered with the bytes a test wrote; reads of
// an empty line time out.
class AnsweringLine : public SerialDevice {
 public:
  std::vector<uint8_t> answer;
  std::deque<uint8_t> pending;
  std::string written;
  int reads = 0;

  bool open(const LineSettings&) override { return true; }
  void close() override {}
  std::optional<uint8_t> try_read_byte() override {
    ++reads;
    if (pending.empty()) return std::nullopt;
    const uint8_t b = pending.front();
    pending.pop_front();
    return b;
  }
  void write_byte(uint8_t byte) override {
    written += static_cast<char>(byte);
    if (byte == command::live_poll) pending.insert(pending.end(), answer.begin(), answer.end());
  }
};

// A frame of L data bytes after "V", all 0 until set.
struct Frame {
  std::vector<uint8_t> bytes;
  explicit Frame(int length) : bytes(static_cast<size_t>(length) + 2, 0) {
    bytes[0] = command::live_reply;
    bytes[1] = static_cast<uint8_t>(length);
  }
  Frame& set(int byte, std::initializer_list<int> values) {
    for (int v : values) bytes.at(static_cast<size_t>(byte++) + 1) = static_cast<uint8_t>(v);
    return *this;
  }
};

struct LiveBench {
  AnsweringLine line;
  testing::ScriptedHost host;
  UnitLink link;
  LiveBench() {
    link.port = &line;
    link.serial_port_open = true;
  }
  std::optional<LiveFrame> poll(const Frame& frame, FrameReader reader) {
    line.answer = frame.bytes;
    line.reads = 0;
    return poll_live_frame(link, host, reader);
  }
};

// The display frame of the examples: 100 mph, 6000 rpm, gear code 7, 58 psi
// oil pressure with the Bar flag, shift point 70 with step 5.
Frame example_display_frame(int length) {
  Frame f(length);
  f.set(1, {100, 0x70, 0x17, 7, 58, 40, 100, 90, 50,  0,   0,
            138, 0x08, 0,    0, 70, 5,  20,  20, 120, 100, 5});
  return f;
}

TEST(LiveFrame, DisplayReadsItsBytesDropsExtrasAndStaysInStep) {
  LiveBench bench;
  Frame f = example_display_frame(25).set(23, {0xAA, 0xBB, 0xCC});
  auto frame = bench.poll(f, FrameReader::VirtualDisplay);
  ASSERT_TRUE(frame);
  EXPECT_EQ(bench.line.written, "u");               // no wake or status before a poll
  EXPECT_EQ(bench.line.reads, 1 + 2 + 22 + 3 + 1);  // the line silent before and after
  EXPECT_TRUE(bench.line.pending.empty());
  EXPECT_EQ(frame->word(frame_byte::rpm), 6000);
  EXPECT_EQ((*frame)[frame_byte::fuel_alarm], 5);
  EXPECT_EQ((*frame)[23], 0) << "the dropped bytes are not kept";
  // The next poll starts at its own "V".
  auto again = bench.poll(example_display_frame(22), FrameReader::VirtualDisplay);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->word(frame_byte::rpm), 6000);
}

TEST(LiveFrame, SilenceOrAWrongFirstByteGivesNoFrame) {
  LiveBench bench;
  Frame silent(0);
  silent.bytes.clear();
  EXPECT_FALSE(bench.poll(silent, FrameReader::VirtualDisplay));
  EXPECT_EQ(bench.line.reads, 1 + 1);
  Frame wrong = example_display_frame(22);
  wrong.bytes[0] = 'U';
  EXPECT_FALSE(bench.poll(wrong, FrameReader::SystemCheck));
  EXPECT_EQ(bench.line.reads, 1 + 1);
}

TEST(LiveFrame, ExtentOfEachReader) {
  struct Case {
    FrameReader reader;
    int length, kept, dropped;
  };
  const Case cases[] = {
      {FrameReader::VirtualDisplay, 22, 22, 0},  {FrameReader::VirtualDisplay, 25, 22, 3},
      {FrameReader::VirtualDisplay, 66, 22, 44}, {FrameReader::VirtualDisplay, 10, 10, 0},
      {FrameReader::SystemCheck, 61, 61, 0},     {FrameReader::SystemCheck, 66, 66, 0},
      {FrameReader::SystemCheck, 70, 66, 4},     {FrameReader::SystemCheck, 63, 63, 0},
      {FrameReader::SystemCheck, 22, 22, 0},     {FrameReader::SystemCheck, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const FrameExtent e = frame_extent(c.reader, c.length);
    EXPECT_EQ(e.kept, c.kept) << c.length;
    EXPECT_EQ(e.dropped, c.dropped) << c.length;
  }
}

TEST(LiveFrame, AShortFrameIsReadToItsAnnouncedLength) {
  LiveBench bench;
  auto frame = bench.poll(Frame(10).set(1, {55, 0x10, 0x27}), FrameReader::SystemCheck);
  ASSERT_TRUE(frame);
  EXPECT_EQ(bench.line.reads, 1 + 2 + 10 + 1);
  EXPECT_EQ(frame->word(frame_byte::rpm), 10000);
  // What it lacks reads as nothing connected.
  const SystemCheckView view = system_check_view(*frame);
  EXPECT_FALSE(view.lamp(CheckLamp::GpsModule));
  EXPECT_EQ(view.sensors[0], "NA");
}

// A length byte that says less than follows leaves bytes on the line: that
// frame is no data (it has no check; only the bytes after it tell), and the
// rest is dropped before the next "u" (stale bytes too, even ones that look
// like "V" and a frame), so each poll reads its own frame.
TEST(LiveFrame, WhatAnEarlierFrameLeftIsDroppedBeforeThePoll) {
  for (FrameReader reader : {FrameReader::VirtualDisplay, FrameReader::SystemCheck}) {
    LiveBench bench;
    Frame misstated = example_display_frame(66);
    misstated.bytes[1] = 22;  // 66 data bytes follow
    EXPECT_FALSE(bench.poll(misstated, reader));
    EXPECT_EQ(bench.line.pending.size(), 43u);
    for (int poll = 0; poll < 3; ++poll) {
      auto frame = bench.poll(example_display_frame(22), reader);
      ASSERT_TRUE(frame) << poll;
      EXPECT_EQ(frame->word(frame_byte::rpm), 6000);
      EXPECT_TRUE(bench.line.pending.empty());
    }
  }
  // Stale bytes that read like a frame of zeros are not live data.
  LiveBench bench;
  Frame stale(22);
  bench.line.pending.assign(stale.bytes.begin(), stale.bytes.end());
  auto frame = bench.poll(example_display_frame(22), FrameReader::VirtualDisplay);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->word(frame_byte::rpm), 6000);
  EXPECT_EQ(bench.line.written, "u");
}

// A read that times out inside a frame (cut short in its data or in the part
// that is dropped) makes the whole frame no data, and the poll ends there.
TEST(LiveFrame, AFrameCutShortIsNoData) {
  struct Case {
    FrameReader reader;
    int length, sent;
  };
  for (const Case& c :
       {Case{FrameReader::VirtualDisplay, 22, 10}, Case{FrameReader::VirtualDisplay, 25, 23},
        Case{FrameReader::SystemCheck, 66, 40}, Case{FrameReader::SystemCheck, 61, 0}}) {
    SCOPED_TRACE(::testing::Message() << c.length << " " << c.sent);
    LiveBench bench;
    Frame cut = example_display_frame(c.length);
    cut.bytes.resize(static_cast<size_t>(c.sent) + 2);
    EXPECT_FALSE(bench.poll(cut, c.reader));
    // The silent line before "u", "V", L, what came, and one time-out.
    EXPECT_EQ(bench.line.reads, 1 + 2 + c.sent + 1);
  }
}

TEST(Dashboard, ExampleFrameInBar) {
  LiveBench bench;
  auto frame = bench.poll(example_display_frame(22), FrameReader::VirtualDisplay);
  ASSERT_TRUE(frame);
  const DashboardView v = build_dashboard(dashboard_inputs(*frame));
  const GaugeView& oil = v.gauge(Gauge::OilPressure);
  EXPECT_LT(oil.value, 4.0);
  EXPECT_GT(oil.value, 3.99);
  EXPECT_EQ(oil.readout, "  4");
  EXPECT_EQ(oil.unit, "Bar");
  EXPECT_EQ(oil.maximum, 10);
  EXPECT_EQ(v.gear_text, "C");  // code 7
  EXPECT_EQ(v.rpm_text, " 6000");
  EXPECT_EQ(v.speed_text, "100");
  EXPECT_EQ(v.speed_unit, "MPH");
  EXPECT_DOUBLE_EQ(v.gauge(Gauge::EngineRpm).value, 60);
  EXPECT_EQ(v.gauge(Gauge::EngineRpm).sector2_end, 467);  // 70 / 150
  EXPECT_EQ(v.gauge(Gauge::WaterTemp).sector2_end, 667);  // 100 / 150
  EXPECT_EQ(v.gauge(Gauge::OilTemp).sector2_end, 800);    // 120 / 150
  EXPECT_EQ(oil.sector1_end, 138);                        // 20 / 145, alarm not converted
  EXPECT_EQ(v.gauge(Gauge::FuelLevel).sector1_end, 50);
  EXPECT_EQ(v.gauge(Gauge::FuelLevel).readout, " 50");
  EXPECT_EQ(v.gauge(Gauge::Battery).readout, "13.8");
  EXPECT_EQ(v.gauge(Gauge::WaterTemp).readout, " 90");
}

TEST(Dashboard, ShiftLights) {
  struct Case {
    int rpm;
    std::array<bool, 5> pairs;  // k = 1 .. 5
    bool top;
  };
  const Case cases[] = {
      {4500, {false, false, false, false, false}, false},  // thresholds are exceeded, not met
      {6000, {false, false, true, true, true}, false},
      {6001, {false, true, true, true, true}, false},
      {7000, {true, true, true, true, true}, false},
      {7050, {true, true, true, true, true}, true},
  };
  for (const Case& c : cases) {
    DashboardInputs in;
    in.rpm = c.rpm;
    in.shift_point = 70;
    in.shift_step = 5;
    const DashboardView v = build_dashboard(in);
    EXPECT_EQ(v.shift_pairs, c.pairs) << c.rpm;
    EXPECT_EQ(v.shift_top, c.top) << c.rpm;
  }
}

TEST(Dashboard, GearTexts) {
  const std::pair<int, const char*> cases[] = {{1, "1"},  {6, "6"}, {11, "C"}, {15, "N"},
                                               {24, "R"}, {7, "C"}, {0, "C"},  {255, "C"}};
  for (auto [code, text] : cases) EXPECT_EQ(gear_text(code), text) << code;
}

TEST(Dashboard, UnitFlagsConvertValuesNotAlarmLevels) {
  DashboardInputs in;
  in.road_speed = 100;
  in.water_temperature = 100;
  in.oil_temperature = 50;
  in.water_temperature_alarm = 100;
  in.unit_flags = (1 << unit_flag::kmh) | (1 << unit_flag::degf);
  const DashboardView v = build_dashboard(in);
  EXPECT_EQ(v.speed_text, "160");
  EXPECT_EQ(v.speed_unit, "KMH");
  const GaugeView& water = v.gauge(Gauge::WaterTemp);
  EXPECT_EQ(water.readout, "212");
  EXPECT_EQ(water.unit, "degF");
  EXPECT_EQ(water.minimum, 32);
  EXPECT_EQ(water.maximum, 302);
  EXPECT_EQ(water.sector2_end, 667);
  EXPECT_EQ(v.gauge(Gauge::OilTemp).readout, "122");
  EXPECT_EQ(v.gauge(Gauge::OilPressure).unit, "PSI");
}

TEST(Dashboard, LampsFollowTheirBits) {
  DashboardInputs in;
  in.alarm_flags = 1 << 5;
  DashboardView v = build_dashboard(in);
  EXPECT_TRUE(v.lamp(DashLamp::OilLeft) && v.lamp(DashLamp::OilRight) &&
              v.lamp(DashLamp::OilPressureAlarm));
  in.alarm_flags = 1 << 6;
  v = build_dashboard(in);
  EXPECT_FALSE(v.lamp(DashLamp::OilLeft));
  EXPECT_TRUE(v.lamp(DashLamp::OilPressureAlarm));

  const std::pair<int, DashLamp> alarm_bits[] = {{1, DashLamp::WaterAlarm},
                                                 {2, DashLamp::FuelAlarm},
                                                 {4, DashLamp::AuxPressureAlarm},
                                                 {7, DashLamp::OilTempAlarm}};
  const DashLamp indicator_bits[] = {DashLamp::Battery, DashLamp::Indicator, DashLamp::Main,
                                     DashLamp::AuxOn,   DashLamp::FogLight,  DashLamp::FluidWarn,
                                     DashLamp::Neutral, DashLamp::Speed};
  for (auto [bit, lamp] : alarm_bits) {
    DashboardInputs one;
    one.alarm_flags = static_cast<uint8_t>(1 << bit);
    const DashboardView w = build_dashboard(one);
    for (int l = 0; l < kDashLampCount; ++l) {
      EXPECT_EQ(w.lamps[static_cast<size_t>(l)], static_cast<DashLamp>(l) == lamp) << bit;
    }
  }
  for (int bit = 0; bit < 8; ++bit) {
    DashboardInputs one;
    one.indicator_flags = static_cast<uint8_t>(1 << bit);
    const DashboardView w = build_dashboard(one);
    EXPECT_TRUE(w.lamp(indicator_bits[bit])) << bit;
    EXPECT_EQ(w.lamp(DashLamp::BatteryAlarm), bit == 0);
  }
  in = {};
  in.unit_flags = (1 << unit_flag::logger_running) | (1 << unit_flag::brake);
  v = build_dashboard(in);
  EXPECT_TRUE(v.lamp(DashLamp::LoggerOn) && v.lamp(DashLamp::BrakeOn));
  EXPECT_STREQ(dash_lamp_caption(DashLamp::Speed), "Speed ");
  EXPECT_STREQ(dash_lamp_caption(DashLamp::Main), "Main ");
}

TEST(Dashboard, RestingDisplay) {
  const DashboardView v = resting_dashboard();
  EXPECT_EQ(v.gear_text, "C");
  EXPECT_EQ(v.rpm_text, "    0");
  EXPECT_EQ(v.speed_text, "  0");
  for (bool lit : v.lamps) EXPECT_FALSE(lit);
  for (bool lit : v.shift_pairs) EXPECT_FALSE(lit);
}

// Data set A with n samples logged at `rate`.
DataSet playback_set(int n, uint8_t rate) {
  DataSet set;
  set.info.sample_rate = rate;
  set.loaded = 1;
  for (Channel c :
       {Channel::Speed, Channel::Rpm, Channel::Gear, Channel::OilPressure, Channel::AuxPressure,
        Channel::OilTemp, Channel::WaterTemp, Channel::Fuel, Channel::Battery, Channel::Brake}) {
    set[c].resize(n);
  }
  return set;
}

TEST(Playback, TickAndPositions) {
  EXPECT_EQ(playback_interval_ms(playback_set(3, 20)), 50);
  EXPECT_EQ(playback_interval_ms(playback_set(3, 10)), 100);
  EXPECT_EQ(playback_interval_ms(playback_set(3, 0)), 50);
  DataSet set = playback_set(3, 10);
  long position = 0;
  std::vector<long> seen;
  for (int i = 0; i < 6; ++i) seen.push_back(position = next_playback_position(set, position));
  EXPECT_EQ(seen, (std::vector<long>{1, 2, 0, 1, 2, 0}));
}

TEST(Playback, SampleWithTheFixedSettings) {
  DataSet set = playback_set(4, 10);
  set[Channel::Rpm].set(1, 60.23);   // 6023 rpm -> 6025
  set[Channel::Rpm].set(2, 60.225);  // 6022.5 rpm: halfway between 6020 and 6025 -> even 6020
  set[Channel::Rpm].set(3, 80);
  set[Channel::Gear].set(1, 39);
  set[Channel::Speed].set(1, 88.4);
  set[Channel::Fuel].set(1, 42.5);
  set[Channel::Battery].set(1, 13.7);
  set[Channel::Brake].set(1, 100);
  const int shift = playback_shift_point(set);
  EXPECT_EQ(shift, 72);
  DashboardInputs in = playback_inputs(set, 1, shift, {});
  EXPECT_EQ(in.rpm, 6025);
  EXPECT_EQ(in.gear_code, 4);
  EXPECT_EQ(in.fuel, 42);
  EXPECT_DOUBLE_EQ(in.battery, 13.7);
  EXPECT_EQ(in.shift_step, 5);
  EXPECT_EQ(in.oil_pressure_alarm, 20);
  EXPECT_EQ(in.aux_pressure_alarm, 20);
  EXPECT_EQ(in.oil_temperature_alarm, 120);
  EXPECT_EQ(in.water_temperature_alarm, 100);
  EXPECT_EQ(in.fuel_alarm, 5);
  const DashboardView v = build_dashboard(in);
  EXPECT_TRUE(v.lamp(DashLamp::BrakeOn));
  EXPECT_FALSE(v.lamp(DashLamp::LoggerOn));
  EXPECT_EQ(v.speed_text, " 88");
  EXPECT_EQ(v.gear_text, "4");
  EXPECT_EQ(playback_inputs(set, 2, shift, {}).rpm, 6020);
}

TEST(Playback, SeriesInOtherUnitsAreShownAsTheUnitWouldShowThem) {
  DataSet set = playback_set(2, 10);
  set[Channel::Speed].set(1, 160);      // km/h
  set[Channel::WaterTemp].set(1, 212);  // degF
  set[Channel::OilPressure].set(1, 2);  // bar
  const UnitFlags units{true, true, true, false};
  const DashboardView v = build_dashboard(playback_inputs(set, 1, 70, units));
  EXPECT_EQ(v.speed_text, "100");
  EXPECT_EQ(v.speed_unit, "MPH");
  EXPECT_EQ(v.gauge(Gauge::WaterTemp).readout, "100");
  EXPECT_EQ(v.gauge(Gauge::OilPressure).readout, " 29");
  // The all-zero step stays zero.
  EXPECT_EQ(build_dashboard(playback_inputs(set, 0, 70, units)).gauge(Gauge::WaterTemp).readout,
            "  0");
}

// A system check frame of L bytes with the position module connected.
Frame gps_frame(int length, uint8_t status) {
  Frame f(length);
  f.set(frame_byte::equipment, {1 << 3});
  // 51,300,000 least significant byte first (160 195 14 3 would be 51,299,232).
  f.set(frame_byte::latitude, {160, 198, 14, 3});
  f.set(frame_byte::longitude, {0x20, 0x85, 0x0F, 0x00});  // 1,017,120
  f.set(frame_byte::gps_speed, {87});
  f.set(frame_byte::gps_status, {status});
  f.set(frame_byte::time_of_day, {9, 5, 30, 10, 12, 26, 8});
  f.set(frame_byte::altitude, {0x2C, 0x81});
  return f;
}

TEST(SystemCheck, PositionModuleFix) {
  LiveBench bench;
  auto frame = bench.poll(gps_frame(61, 0x1F), FrameReader::SystemCheck);
  ASSERT_TRUE(frame);
  SystemCheckView v = system_check_view(*frame);
  EXPECT_TRUE(v.lamp(CheckLamp::GpsDataValid));
  EXPECT_EQ(v.readout(CheckReadout::Latitude), "51.300000");
  EXPECT_EQ(v.readout(CheckReadout::Longitude), "1.017120");
  EXPECT_EQ(v.readout(CheckReadout::Time), " 9h  5m 30s");
  EXPECT_EQ(v.readout(CheckReadout::Date), "10/12/26");
  EXPECT_EQ(v.readout(CheckReadout::Satellites), " 8");
  EXPECT_EQ(v.readout(CheckReadout::Altitude), "  300");
  EXPECT_EQ(v.readout(CheckReadout::GpsSpeed), " 87");

  v = system_check_view(*bench.poll(gps_frame(61, 0x1E).set(frame_byte::altitude, {0x2C, 0x01}),
                                    FrameReader::SystemCheck));
  EXPECT_EQ(v.readout(CheckReadout::Latitude), "-51.300000");
  EXPECT_EQ(v.readout(CheckReadout::Longitude), "1.017120");
  EXPECT_EQ(v.readout(CheckReadout::Altitude), " -300");

  v = system_check_view(*bench.poll(gps_frame(61, 0x1D), FrameReader::SystemCheck));
  EXPECT_EQ(v.readout(CheckReadout::Longitude), "-1.017120");

  v = system_check_view(*bench.poll(
      gps_frame(61, 0x1F).set(frame_byte::latitude, {160, 195, 14, 3}), FrameReader::SystemCheck));
  EXPECT_EQ(v.readout(CheckReadout::Latitude), "51.299232");
}

TEST(SystemCheck, NoFixOrNoModuleShowsNoPosition) {
  LiveBench bench;
  const std::pair<Frame, const char*> cases[] = {
      {gps_frame(61, 0x0C), "no satellites"},
      {gps_frame(61, 0x18), "not connected"},
      {gps_frame(61, 0x1F).set(frame_byte::equipment, {0}), "module absent"},
  };
  for (const auto& [f, why] : cases) {
    const SystemCheckView v = system_check_view(*bench.poll(f, FrameReader::SystemCheck));
    EXPECT_FALSE(v.lamp(CheckLamp::GpsDataValid)) << why;
    for (CheckReadout r :
         {CheckReadout::Latitude, CheckReadout::Longitude, CheckReadout::Time, CheckReadout::Date,
          CheckReadout::Satellites, CheckReadout::Altitude, CheckReadout::GpsSpeed}) {
      EXPECT_EQ(v.readout(r), "NA") << why << " " << check_readout_name(r);
    }
  }
  const SystemCheckView v =
      system_check_view(*bench.poll(gps_frame(61, 0x0C), FrameReader::SystemCheck));
  EXPECT_TRUE(v.lamp(CheckLamp::GpsConnected) && v.lamp(CheckLamp::PlCompatible));
  EXPECT_FALSE(v.lamp(CheckLamp::SatAcquired));
}

TEST(SystemCheck, SensorAndOnBoardChannels) {
  LiveBench bench;
  Frame f(66);
  f.set(frame_byte::equipment, {(1 << 5) | (1 << 7)});
  f.set(frame_byte::first_sensors, {128, 255, 0, 1, 2, 3, 4, 5});
  f.set(frame_byte::gear_module, {15});
  f.set(frame_byte::second_sensors, {128});
  f.set(frame_byte::on_board, {128, 64, 255, 0, 5});
  SystemCheckView v = system_check_view(*bench.poll(f, FrameReader::SystemCheck));
  EXPECT_EQ(v.sensors[0], " 50");
  EXPECT_EQ(v.sensors[1], "100");
  EXPECT_EQ(v.sensors[2], "  0");
  EXPECT_EQ(v.sensors[8], "NA");  // second module not connected
  EXPECT_EQ(v.readout(CheckReadout::GearModule), "N");
  EXPECT_EQ(v.on_board, (std::array<std::string, 4>{" 50", " 25", "100", "  0"}));

  // 61 bytes: no on-board channels, and nothing of them is read.
  auto short_frame =
      bench.poll(Frame(61).set(frame_byte::equipment, {1 << 6}), FrameReader::SystemCheck);
  EXPECT_EQ(bench.line.reads, 1 + 2 + 61 + 1);
  v = system_check_view(*short_frame);
  EXPECT_EQ(v.on_board[0], "NA");
  EXPECT_EQ(v.sensors[0], "NA");
  EXPECT_EQ(v.sensors[15], "  0");
  EXPECT_EQ(v.readout(CheckReadout::GearModule), "NA");

  // 70 bytes: the last four are read and dropped; the next poll is in step.
  Frame longer(70);
  longer.set(frame_byte::on_board, {255, 255, 255, 255, 5, 0x56, 0x56, 0x56, 0x56});
  v = system_check_view(*bench.poll(longer, FrameReader::SystemCheck));
  EXPECT_EQ(bench.line.reads, 1 + 2 + 70 + 1);
  EXPECT_TRUE(bench.line.pending.empty());
  EXPECT_EQ(v.on_board[3], "100");
  EXPECT_TRUE(bench.poll(Frame(61), FrameReader::SystemCheck));
}

TEST(SystemCheck, UnitValuesAndLamps) {
  LiveBench bench;
  Frame f(61);
  f.set(1, {100, 0x88, 0x13, 15, 58, 40, 100, 90, 7, 125, 37, 123});
  f.set(frame_byte::unit_flags, {(1 << 0) | (1 << unit_flag::bar) | (1 << unit_flag::kmh)});
  f.set(frame_byte::alarm_flags, {(1 << 1) | (1 << 6)});
  f.set(frame_byte::indicator_flags, {(1 << 5) | 1});
  f.set(frame_byte::external_inputs, {0x05});
  f.set(frame_byte::equipment, {0x07});
  f.set(frame_byte::speed_channels, {0x09});
  SystemCheckView v = system_check_view(*bench.poll(f, FrameReader::SystemCheck));
  EXPECT_EQ(v.readout(CheckReadout::Speed), "160");
  EXPECT_EQ(v.speed_unit, "(KMH)");
  EXPECT_EQ(v.readout(CheckReadout::Rpm), " 5000");
  EXPECT_EQ(v.readout(CheckReadout::Gear), "N");
  EXPECT_EQ(v.readout(CheckReadout::OilPressure), "4.0");
  EXPECT_EQ(v.readout(CheckReadout::AuxPressure), "2.8");
  EXPECT_EQ(v.pressure_unit, "(Bar)");
  EXPECT_EQ(v.readout(CheckReadout::OilTemp), "100");
  EXPECT_EQ(v.temperature_unit, "(degC)");
  EXPECT_EQ(v.readout(CheckReadout::Fuel), "  7");
  EXPECT_EQ(v.readout(CheckReadout::Battery), "12.3");
  EXPECT_EQ(v.readout(CheckReadout::GFirst), "1.25");
  EXPECT_EQ(v.readout(CheckReadout::GSecond), "-0.37");
  EXPECT_TRUE(v.lamp(CheckLamp::WaterAlarm));
  EXPECT_TRUE(v.lamp(CheckLamp::OilPressureAlarm));
  EXPECT_FALSE(v.lamp(CheckLamp::OilTempAlarm));
  EXPECT_TRUE(v.lamp(CheckLamp::BatteryAlarm) && v.lamp(CheckLamp::DashBattery));
  EXPECT_TRUE(v.lamp(CheckLamp::DashHandbrake));
  EXPECT_TRUE(v.lamp(CheckLamp::SpeedTrigger) && v.lamp(CheckLamp::RpmInput));
  EXPECT_FALSE(v.lamp(CheckLamp::LapTrigger));
  EXPECT_TRUE(v.lamp(CheckLamp::MainDisplay) && v.lamp(CheckLamp::CoDriverDisplay) &&
              v.lamp(CheckLamp::ShiftPodDisplay));
  EXPECT_TRUE(v.lamp(CheckLamp::SpeedCh1) && v.lamp(CheckLamp::SpeedCh4));
  EXPECT_FALSE(v.lamp(CheckLamp::SpeedCh2));

  // No frame: nothing of the last one stays on show; the unit labels do.
  show_no_data(v);
  const SystemCheckView empty = empty_system_check();
  EXPECT_EQ(v.readouts, empty.readouts);
  EXPECT_EQ(v.sensors, empty.sensors);
  EXPECT_EQ(v.on_board, empty.on_board);
  EXPECT_EQ(v.lamps, empty.lamps);
  EXPECT_EQ(v.readout(CheckReadout::Rpm), "NA");
  EXPECT_EQ(v.speed_unit, "(KMH)");
  EXPECT_STREQ(check_lamp_caption(CheckLamp::GpsModule), "Module Connected");
}

// What the three link lamps show in each state of the live link, and which
// states may keep a frame's values on show.
TEST(LiveLink, LampsShowTheLinksRealState) {
  struct Case {
    LiveLinkState state;
    bool port_open;
    LinkLamps lamps;
    bool live;
  };
  using S = LiveLinkState;
  const Case cases[] = {
      {S::NotPolling, true, {true, false, false}, false},    // opened, or after "Disconnect"
      {S::NotPolling, false, {false, false, false}, false},  // no port chosen
      {S::NoPort, false, {false, false, false}, false},      // polling with the port at "None"
      {S::NoReply, true, {true, false, true}, false},        // the unit fell silent
      {S::Receiving, true, {true, true, false}, true},
  };
  for (const Case& c : cases) {
    const LinkLamps lamps = link_lamps(c.state, c.port_open);
    SCOPED_TRACE(static_cast<int>(c.state));
    EXPECT_EQ(lamps.com_port_ok, c.lamps.com_port_ok);
    EXPECT_EQ(lamps.pl2_connected, c.lamps.pl2_connected);
    EXPECT_EQ(lamps.no_valid_data, c.lamps.no_valid_data);
    EXPECT_EQ(values_are_live(c.state), c.live);
  }
  EXPECT_EQ(poll_state(false, false), S::NoPort);
  EXPECT_EQ(poll_state(true, false), S::NoReply);
  EXPECT_EQ(poll_state(true, true), S::Receiving);
}

}  // namespace
}  // namespace ardenvis::core
