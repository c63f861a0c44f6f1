// The event intake, the done signals, the event ring with its thread, and the version text: no TCP.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "fake_controller.h"
#include "log_capture.h"
#include "transport/event_dispatcher.h"
#include "transport/event_intake.h"
#include "util/server_version_code.h"

using namespace std::chrono_literals;
using namespace ruko_robot_namespace;
using ruko::DoneSignal;
using ruko::RobotEventIntake;

namespace {

RobotEventInfo makeEvent(int type, int code = 0, const std::string& content = "") {
  RobotEventInfo event;
  event.eventType = static_cast<RobotEventType>(type);
  event.eventCode = code;
  event.eventContent = content;
  return event;
}

std::chrono::steady_clock::time_point soon() { return std::chrono::steady_clock::now() + 20ms; }

TEST(EventIntake, QueuesExactlyTheEventsThatEndAMove) {
  const struct {
    int type;
    bool queued;
  } cases[] = {{22, true},   {26, true},   {27, true},   {20, false},  {44, false},  {1000, false},
               {1001, true}, {1299, true}, {1300, true}, {1301, false}, {2000, false}, {2001, true},
               {2122, true}, {2123, false}, {2124, true}, {2999, true}, {3000, false}};
  ruko::test::LogCapture log;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    RobotEventIntake intake;
    log.clear();
    intake.process(makeEvent(c.type, 0, "why"));
    std::lock_guard<std::mutex> lock(intake.targetPosMutex());
    EXPECT_EQ(intake.frontMoveFinishLocked(), c.queued ? static_cast<RobotEventType>(c.type) : RobotEventInvalid);
    const std::string line = "sdk log: Event caused motion disruption. type:" + std::to_string(c.type) + " desc:why";
    EXPECT_EQ(log.count(line, LL_INFO), c.queued ? 1 : 0);
  }
}

TEST(EventIntake, DoneEventsWakeTheirWaiters) {
  // Which of stop, pause and continue each motion-control done event ends.
  const struct {
    int type;
    bool stop, pause, resume;
  } cases[] = {{44, true, true, true}, {6, true, true, true}, {45, false, true, false}, {46, false, false, true},
               {43, false, false, false}};
  ruko::test::LogCapture log;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    RobotEventIntake intake;
    const auto stop = intake.stopDone().mark();
    const auto pause = intake.pauseDone().mark();
    const auto resume = intake.continueDone().mark();
    intake.process(makeEvent(c.type));
    EXPECT_EQ(intake.stopDone().waitAfter(stop, soon()) == DoneSignal::Outcome::Signalled, c.stop);
    EXPECT_EQ(intake.pauseDone().waitAfter(pause, soon()) == DoneSignal::Outcome::Signalled, c.pause);
    EXPECT_EQ(intake.continueDone().waitAfter(resume, soon()) == DoneSignal::Outcome::Signalled, c.resume);
  }
  EXPECT_TRUE(log.contains("sdk log: Ready to process PauseDone event. id:", LL_INFO));
  EXPECT_TRUE(log.contains("sdk log: Process ContinueDone event finish. id:", LL_INFO));
  EXPECT_FALSE(log.contains("could not be locked"));
}

TEST(EventIntake, LifecycleEventsCarryTheirOutcome) {
  RobotEventIntake intake;
  const auto startup = intake.startupDone().mark();
  const auto handshake = intake.handshakeDone().mark();
  intake.process(makeEvent(RobotEvent_robotStartupDoneResult, ROBOT_SERVICE_WORKING));
  intake.process(makeEvent(RobotEvent_RobotHandShakeFailed));
  int payload = -1;
  EXPECT_EQ(intake.startupDone().waitAfter(startup, soon(), &payload), DoneSignal::Outcome::Signalled);
  EXPECT_EQ(payload, ROBOT_SERVICE_WORKING);
  EXPECT_EQ(intake.handshakeDone().waitAfter(handshake, soon(), &payload), DoneSignal::Outcome::Signalled);
  EXPECT_EQ(payload, 0);
  const auto again = intake.handshakeDone().mark();
  intake.process(makeEvent(RobotEvent_RobotHandShakeSucc));
  EXPECT_EQ(intake.handshakeDone().waitAfter(again, soon(), &payload), DoneSignal::Outcome::Signalled);
  EXPECT_EQ(payload, 1);
  // The shut-down waiter saw none of these.
  EXPECT_EQ(intake.shutdownDone().waitAfter(intake.shutdownDone().mark(), soon()), DoneSignal::Outcome::TimedOut);
}

// An event that arrives before the waiter starts waiting (but after its mark) is not lost.
TEST(EventIntake, EventBetweenMarkAndWaitIsNotLost) {
  RobotEventIntake intake;
  const auto mark = intake.shutdownDone().mark();
  intake.process(makeEvent(RobotEvent_robotShutdownDone));
  EXPECT_EQ(intake.shutdownDone().waitAfter(mark, soon()), DoneSignal::Outcome::Signalled);
}

TEST(EventIntake, DisconnectEndsEveryWaitAndEveryMove) {
  for (bool local : {true, false}) {
    SCOPED_TRACE(local ? "our logout" : "server closed");
    RobotEventIntake intake;
    std::vector<DoneSignal*> signals = {&intake.startupDone(), &intake.shutdownDone(), &intake.handshakeDone(),
                                        &intake.stopDone(),    &intake.pauseDone(),    &intake.continueDone()};
    std::vector<DoneSignal::Mark> marks;
    for (DoneSignal* s : signals) marks.push_back(s->mark());
    std::thread disconnect([&] {
      std::this_thread::sleep_for(20ms);
      if (local) {
        intake.localDisconnect();
      } else {
        intake.process(makeEvent(RobotEvent_socketDisconnected, 0, "Server disconnected."));
      }
    });
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < signals.size(); ++i) {
      EXPECT_EQ(signals[i]->waitAfter(marks[i], start + 5s), DoneSignal::Outcome::Disconnected);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    disconnect.join();
    std::lock_guard<std::mutex> lock(intake.targetPosMutex());
    EXPECT_EQ(intake.frontMoveFinishLocked(), RobotEvent_socketDisconnected);
  }
}

// ---- The event ring and its thread -------------------------------------------------------------------------

struct Receiver {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<RobotEventInfo> events;
  bool hold = false;

  static void deliver(void* self, const RobotEventInfo& event) {
    auto* r = static_cast<Receiver*>(self);
    std::unique_lock<std::mutex> lock(r->mutex);
    r->changed.wait(lock, [r] { return !r->hold; });
    r->events.push_back(event);
    r->changed.notify_all();
  }
  size_t count() {
    std::lock_guard<std::mutex> lock(mutex);
    return events.size();
  }
};

TEST(EventDispatcher, HeldUpThreadKeepsExactlyTheRingsCapacity) {
  Receiver receiver;
  ruko::RobotEventDispatcher dispatcher(&Receiver::deliver, &receiver);
  {
    std::lock_guard<std::mutex> lock(receiver.mutex);
    receiver.hold = true;
  }
  int accepted = 0;
  for (int i = 0; i < 4097; ++i) {
    accepted += dispatcher.post(makeEvent(RobotEvent_User, i)) ? 1 : 0;
  }
  EXPECT_EQ(accepted, 4096);
  {
    std::lock_guard<std::mutex> lock(receiver.mutex);
    receiver.hold = false;
  }
  receiver.changed.notify_all();
  ASSERT_TRUE(ruko::test::waitFor([&] { return receiver.count() == 4096; }));
  std::lock_guard<std::mutex> lock(receiver.mutex);
  for (int i = 0; i < 4096; ++i) {
    ASSERT_EQ(receiver.events[static_cast<size_t>(i)].eventCode, i) << "delivered out of order";
  }
}

TEST(EventDispatcher, CountersWrapWithoutLosingOrder) {
  Receiver receiver;
  ruko::RobotEventDispatcher dispatcher(&Receiver::deliver, &receiver);
  // More than the ring holds, in waves, so the slots are reused many times.
  for (int wave = 0; wave < 5; ++wave) {
    for (int i = 0; i < 3000; ++i) {
      while (!dispatcher.post(makeEvent(RobotEvent_User, wave * 3000 + i))) std::this_thread::yield();
    }
  }
  ASSERT_TRUE(ruko::test::waitFor([&] { return receiver.count() == 15000; }));
  std::lock_guard<std::mutex> lock(receiver.mutex);
  for (int i = 0; i < 15000; ++i) ASSERT_EQ(receiver.events[static_cast<size_t>(i)].eventCode, i);
}

// A callback that destroys the dispatcher returns into a thread that no longer touches it.
TEST(EventDispatcher, DestroyedFromItsOwnCallback) {
  ruko::test::LogCapture log;
  struct Owner {
    std::unique_ptr<ruko::RobotEventDispatcher> dispatcher;
    std::atomic<bool> done{false};
  } owner;
  owner.dispatcher.reset(new ruko::RobotEventDispatcher(
      [](void* self, const RobotEventInfo&) {
        auto* o = static_cast<Owner*>(self);
        o->dispatcher.reset();
        o->done = true;
      },
      &owner));
  ASSERT_TRUE(owner.dispatcher->post(makeEvent(RobotEvent_User)));
  ASSERT_TRUE(ruko::test::waitFor([&] { return owner.done.load(); }));
  EXPECT_EQ(log.count("Event thread released from inside its own callback", LL_WARN), 1);
}

// ---- The server's version text -----------------------------------------------------------------------------

TEST(ServerVersionText, ParsesTheFirstDigitRunOfThreeParts) {
  const struct {
    const char* text;
    bool ok;
    int code;
    const char* line;
  } cases[] = {
      {"4.5.20", true, 4005020, "sdk log: parse rukoserver version[4.5.20] succeed: 4005020"},
      {"ver4.x5.20", true, 4005020, "sdk log: parse rukoserver version[ver4.x5.20] succeed: 4005020"},
      {"4.5.20-beta.7", true, 4005020, "succeed: 4005020"},
      {"4..10.1", true, 4010001, "succeed: 4010001"},
      {"010.1.1", true, 8001001, "succeed: 8001001"},
      {"4.08.1", false, 0, "sdk log: parse rukoserver version[4.08.1] FAILED: substr 08 cannot convert to interger"},
      {"4.5", false, 0, "rukoserver is old. so there is no versioninfo"},
      {"4.abc.1", false, 0, "sdk log: parse rukoserver version[4.abc.1] FAILED: substr abc has no number"},
      {"99999999999999999999.1.1", false, 0, "cannot convert to interger"},
      {"2147.483.648", false, 0, "cannot convert to interger"},
      {"2147.483.647", true, 2147483647, "succeed: 2147483647"},
  };
  ruko::test::LogCapture log;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    log.clear();
    int code = -1;
    EXPECT_EQ(ruko::parseServerVersionText(c.text, code), c.ok);
    EXPECT_EQ(code, c.ok ? c.code : -1);
    EXPECT_EQ(log.count(c.line, c.ok ? LL_INFO : LL_ERROR), 1);
  }
}

}  // namespace
