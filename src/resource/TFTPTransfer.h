#pragma once
// The state of one request of the FTP client (TFTPClient): the bytes moved,
// the server's last reply and the traffic reported to the log. The client's
// files share it; nothing outside the client uses it.

#include <cctype>
#include <cstddef>
#include <string>

#include "resource/CurlSupport.h"
#include "resource/TCurlProgress.h"

struct TFTPTransfer {
  TCurlDownload Download;
  std::string What = "file";  // what Download holds, for its error message
  const std::string* Upload = nullptr;
  std::size_t UploadPos = 0;
  std::string LastReply;
  char Detail[CURL_ERROR_SIZE] = "";
  // libcurl's error text keeps the first note it writes, also one it went on
  // after (in active mode every transfer leaves one about the listening
  // socket). A note that stood before a later reply of the server came is no
  // reason of the failure.
  std::string PassedNote;
  long OsError = 0;  // the system's error of the last socket operation
  TCurlTraffic Traffic;
  TCurlProgress Progress;

  long ReplyCode() const
  {
    if (LastReply.size() < 3) return 0;
    for (int i = 0; i < 3; ++i)
      if (!std::isdigit(static_cast<unsigned char>(LastReply[i]))) return 0;
    return std::stol(LastReply.substr(0, 3));
  }
};
