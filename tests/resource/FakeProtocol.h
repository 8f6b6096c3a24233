#pragma once
// Test helpers: a recording protocol driver and a fixture that puts such
// drivers into the one URL system.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resource/TURL.h"
#include "resource/TURLSystem.h"

// Records every call as "name.Operation(url text)"; serves a fixed listing.
class FakeProtocol : public TAbstractProtocol {
public:
  FakeProtocol(const std::string& name, std::vector<std::string>& calls)
      : TAbstractProtocol(name), Calls(calls)
  {
  }

  std::vector<std::string>& Calls;
  std::vector<std::string> Folders;  // listed first, kind 0
  std::vector<std::string> Files;    // listed when the masks accept them, kind 1
  bool FailListing = false;
  std::string Content;

  bool IsConnected(TURL& url) override
  {
    Record("IsConnected", url);
    return true;
  }
  void Connect(TURL& url) override { Record("Connect", url); }
  void Disconnect(TURL& url) override { Record("Disconnect", url); }
  void DeleteFile(TURL& url) override { Record("DeleteFile", url); }
  void ListFolder(TURL& url) override
  {
    Record("ListFolder", url);
    url.Items.clear();
    if (FailListing) throw std::runtime_error("listing failed");
    for (const auto& name : Folders) url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFolder, name));
    for (const auto& name : Files)
      if (url.MatchesFilter(name)) url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, name));
  }
  void GetFile(TURL& url, std::string& text) override
  {
    Record("GetFile", url);
    text = Content;
  }
  void PutFile(TURL& url, const std::string& text) override
  {
    Record("PutFile", url);
    Content = text;
  }
  void CheckIdle() override { Calls.push_back(ProtocolName + ".CheckIdle"); }

private:
  void Record(const std::string& operation, const TURL& url)
  {
    Calls.push_back(ProtocolName + "." + operation + "(" + url.Host + url.Path + url.FileName + ")");
  }
};

// Replaces the drivers of the one URL system by fakes named file, ftp and
// http (in this order) for the duration of a test.
class FakeURLSystemTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    FreeURLSystem();
    URLSystem().Protocols.clear();
    for (const char* name : {"file", "ftp", "http"}) {
      auto driver = std::make_unique<FakeProtocol>(name, Calls);
      Drivers.push_back(driver.get());
      URLSystem().Register(std::move(driver));
    }
  }
  void TearDown() override { FreeURLSystem(); }

  FakeProtocol& File() { return *Drivers[0]; }
  FakeProtocol& Ftp() { return *Drivers[1]; }
  FakeProtocol& Http() { return *Drivers[2]; }

  std::vector<std::string> Calls;
  std::vector<FakeProtocol*> Drivers;
};
