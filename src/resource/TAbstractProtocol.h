#pragma once
// Interface of a protocol driver of the URL system.

#include <string>

class TURL;

class TAbstractProtocol {
public:
  explicit TAbstractProtocol(std::string protocolName) : ProtocolName(std::move(protocolName)) {}
  virtual ~TAbstractProtocol() = default;

  const std::string ProtocolName;

  virtual bool IsConnected(TURL& url) = 0;
  virtual void Connect(TURL& url) = 0;
  virtual void Disconnect(TURL& url) = 0;
  virtual void DeleteFile(TURL& url) = 0;
  virtual void ListFolder(TURL& url) = 0;
  virtual void GetFile(TURL& url, std::string& text) = 0;
  // A resource fetched on the fly while a document is read (a DTD, an entity,
  // a stylesheet): drivers of the network hold it to tighter limits (size,
  // total time) than a document the user opens.
  virtual void GetResource(TURL& url, std::string& text) { GetFile(url, text); }
  virtual void PutFile(TURL& url, const std::string& text) = 0;
  // Called every second by the URL system's timer.
  virtual void CheckIdle() = 0;
};
