// The steps of a power request, seen through a platform that records every call it gets.
#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "services/power_platform.h"

namespace autoshutdown {
namespace {

// What the platform was asked, in order, and the switches for its faults.
struct PlatformLog {
  std::vector<std::string> calls;
  bool grants_privilege = true;
  bool accepts_request = true;
};

const char* Describe(SessionEnd end) {
  switch (end) {
    case SessionEnd::kPowerOff: return "end power-off";
    case SessionEnd::kReboot: return "end reboot";
    case SessionEnd::kLogOff: return "end log-off";
  }
  return "end ?";
}

class RecordingPlatform final : public PowerPlatform {
 public:
  explicit RecordingPlatform(PlatformLog& log) : log_(log) {}

  bool EnableShutdownPrivilege() override {
    log_.calls.push_back("privilege");
    return log_.grants_privilege;
  }
  bool EndSession(SessionEnd end, bool force) override {
    return Request(Describe(end), force);
  }
  bool EnterSleep(SleepState state, bool force) override {
    return Request(state == SleepState::kStandby ? "sleep standby" : "sleep hibernate", force);
  }

 private:
  bool Request(std::string what, bool force) {
    log_.calls.push_back(what + (force ? " forced" : ""));
    return log_.accepts_request;
  }

  PlatformLog& log_;
};

class PowerServiceTest : public testing::Test {
 protected:
  PlatformLog log_;
  std::unique_ptr<PowerService> service_ =
      CreatePowerService(std::make_unique<RecordingPlatform>(log_));
};

struct CodeCase {
  int code;
  const char* request;  // null: the code is not valid and nothing may be called
};

const CodeCase kCodes[] = {
    {INT_MIN, nullptr}, {-1, nullptr},          {0, nullptr},
    {1, "end power-off"}, {2, "end reboot"},    {3, "end log-off"},
    {4, "sleep standby"}, {5, "sleep hibernate"}, {6, nullptr},
    {INT_MAX, nullptr},
};

// Every code against an accepting platform, a platform that refuses the privilege (code 3
// included, though logging off needs none) and one that refuses the request. Called as the
// program calls it, without a force flag: no request may come out forced.
TEST_F(PowerServiceTest, EachCodeRunsPrivilegeThenOneUnforcedRequest) {
  struct Platform {
    const char* name;
    bool grants_privilege;
    bool accepts_request;
  };
  for (const Platform platform : {Platform{"accepting", true, true},
                                  Platform{"without privilege", false, true},
                                  Platform{"refusing the request", true, false}}) {
    for (const CodeCase& c : kCodes) {
      SCOPED_TRACE(testing::Message() << platform.name << ", code " << c.code);
      log_ = {{}, platform.grants_privilege, platform.accepts_request};
      const bool accepted = service_->RequestPowerAction(c.code);

      std::vector<std::string> expected;
      if (c.request) expected.push_back("privilege");
      if (c.request && platform.grants_privilege) expected.push_back(c.request);
      EXPECT_EQ(log_.calls, expected);
      EXPECT_EQ(accepted, c.request && platform.grants_privilege && platform.accepts_request);
    }
  }
}

TEST_F(PowerServiceTest, TwoCallsMakeTwoRequests) {
  EXPECT_TRUE(service_->RequestPowerAction(1));
  EXPECT_TRUE(service_->RequestPowerAction(1));
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"privilege", "end power-off", "privilege",
                                                  "end power-off"}));
}

TEST_F(PowerServiceTest, ForceReachesThePlatformOnlyWhenAsked) {
  EXPECT_TRUE(service_->RequestPowerAction(3, true));
  EXPECT_TRUE(service_->RequestPowerAction(5, true));
  EXPECT_TRUE(service_->RequestPowerAction(5, false));
  EXPECT_EQ(log_.calls,
            (std::vector<std::string>{"privilege", "end log-off forced", "privilege",
                                      "sleep hibernate forced", "privilege", "sleep hibernate"}));
}

}  // namespace
}  // namespace autoshutdown
