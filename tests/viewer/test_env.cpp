// One QApplication for every viewer test, created the way the library creates its own.
#include <gtest/gtest.h>

#include "viewer/JWViewerApp.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { jw::EnsureViewerApplication(); }
  void TearDown() override {
    jw::CloseViewerWindows();
    jw::ReleaseViewerApplication();
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
