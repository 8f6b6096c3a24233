#include "resource/TFTPClient.h"

// The file transfers of the FTP client: reading a remote file, storing one
// through a temporary copy renamed over it, and deleting one, with the
// clean-ups a failed or cancelled store leaves to do.

#include <algorithm>
#include <cstring>

#include "resource/EResourceError.h"
#include "resource/TFTPTransfer.h"
#include "resource/TScopedSetting.h"
#include "resource/TURL.h"
#include "resource/TWorkProgress.h"

namespace {

constexpr long kCleanupTimeout = 2;  // seconds for each request of the clean-up after a cancel

size_t SendData(char* buffer, size_t size, size_t count, void* user)
{
  auto* transfer = static_cast<TFTPTransfer*>(user);
  std::size_t left = transfer->Upload->size() - transfer->UploadPos;
  std::size_t n = std::min(left, size * count);
  std::memcpy(buffer, transfer->Upload->data() + transfer->UploadPos, n);
  transfer->UploadPos += n;
  return n;
}

// Keeps the calling thread's work from being cancelled, or told about, for
// the scope's lifetime: for short clean-ups that must run after a cancel.
class TQuietWork {
  TWorkProgress Quiet;
  TWorkProgressScope Scope{Quiet};
};

}  // namespace

std::string TFTPClient::Retrieve(const std::string& path)
{
  RequireFileName("get", path);
  RequireConnection("get", path);
  TWorkProgress::SetCurrentStep("Reading ftp://" + HidePassword(Host) + path);
  TFTPTransfer transfer;
  transfer.Download.Limit = MaxFileSize;
  Prepare(transfer, RemoteURL(path));
  curl_easy_setopt(static_cast<CURL*>(Handle), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MaxFileSize));
  Check(transfer, Run(transfer), "get", path);
  return std::move(transfer.Download.Bytes);
}

namespace {

// FTP commands for libcurl to send around a request, freed with the object.
class TCommandList {
public:
  explicit TCommandList(const std::vector<std::string>& commands)
  {
    for (const std::string& command : commands) List = curl_slist_append(List, command.c_str());
  }
  ~TCommandList() { curl_slist_free_all(List); }
  TCommandList(const TCommandList&) = delete;
  TCommandList& operator=(const TCommandList&) = delete;

  curl_slist* List = nullptr;
};

// The name of the temporary copy a store writes beside the file: ".name.part".
std::string TemporaryName(const std::string& path)
{
  std::size_t slash = path.rfind('/');
  std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, start) + "." + path.substr(start) + ".part";
}

}  // namespace

int TFTPClient::Upload(TFTPTransfer& transfer, const std::string& path, const std::string& bytes,
                       const std::vector<std::string>& afterwards)
{
  transfer.Upload = &bytes;
  Prepare(transfer, RemoteURL(path));
  CURL* curl = static_cast<CURL*>(Handle);
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, SendData);
  curl_easy_setopt(curl, CURLOPT_READDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bytes.size()));
  TCommandList commands(afterwards);
  curl_easy_setopt(curl, CURLOPT_POSTQUOTE, commands.List);
  return Run(transfer);
}

// Written in place, a document that fails midway (a full disk, a lost
// connection) would leave the file cut short and its old text gone. So the
// bytes go to a temporary name beside the file first, renamed over it once
// complete. A server that refuses the temporary name (names beginning with a
// dot), or to rename onto an existing file, gets the file written in place.
// A store that fails or is cancelled leaves the file as it was too, and its
// temporary copy is removed: over the same connection where the server kept
// it, else over a new one, which later operations then use. Once the file is
// being written in place, it runs to its end.
void TFTPClient::Store(const std::string& path, const std::string& bytes)
{
  RequireFileName("put", path);
  RequireConnection("put", path);
  TWorkProgress::SetCurrentStep("Writing ftp://" + HidePassword(Host) + path);
  const std::string temporary = TemporaryName(path);
  TFTPTransfer transfer;
  int code = CURLE_OK;
  try {
    code = Upload(transfer, temporary, bytes, {"RNFR " + temporary, "RNTO " + path});
  } catch (const ECancelled&) {
    DiscardTemporary(temporary);
    throw;
  }
  if (code == CURLE_OK) return;
  const bool renameRefused = code == CURLE_QUOTE_ERROR;
  const bool nameRefused = transfer.UploadPos == 0 && transfer.ReplyCode() >= 500;
  if (Open && (renameRefused || nameRefused)) {
    TFTPTransfer direct;
    direct.Progress.Cancellable = false;
    Check(direct, Upload(direct, path, bytes, {}), "put", path);
    if (renameRefused) DeleteQuietly(temporary);
    return;
  }
  if (Open)
    DeleteQuietly(temporary);
  else
    DiscardTemporary(temporary);
  try {
    Check(transfer, code, "put", path);
  } catch (const EFTPError& error) {
    throw EFTPError(std::string(error.what()) + "; the file on the server is unchanged");
  }
}

// DELE with the full name, sent as a quote command before a request that
// transfers nothing.
int TFTPClient::SendDelete(TFTPTransfer& transfer, const std::string& path)
{
  Prepare(transfer, "ftp://" + Authority() + "/");
  TCommandList commands({"DELE " + path});
  CURL* curl = static_cast<CURL*>(Handle);
  curl_easy_setopt(curl, CURLOPT_QUOTE, commands.List);
  curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  return Run(transfer);
}

void TFTPClient::Delete(const std::string& path)
{
  RequireConnection("delete", path);
  TWorkProgress::SetCurrentStep("Deleting ftp://" + HidePassword(Host) + path);
  TFTPTransfer transfer;
  Check(transfer, SendDelete(transfer, path), "delete", path);
}

// A clean-up: it runs even after the work was cancelled.
void TFTPClient::DeleteQuietly(const std::string& path)
{
  TQuietWork quiet;
  TFTPTransfer transfer;
  SendDelete(transfer, path);
}

// libcurl drops the connection of a transfer it stopped or that broke off.
// The temporary copy of such a store is deleted over a new connection where
// the server still answers; the user is held for a few seconds at most.
void TFTPClient::DiscardTemporary(const std::string& temporary)
{
  TQuietWork quiet;
  TScopedSetting<long> connect(ConnectTimeout, std::min(ConnectTimeout, kCleanupTimeout));
  TScopedSetting<long> stall(StallTimeout, std::min(StallTimeout, kCleanupTimeout));
  TScopedSetting<long> total(TransferTimeout, std::min(TransferTimeout, kCleanupTimeout));
  try {
    Connect();
    DeleteQuietly(temporary);
  } catch (const std::exception&) {
    CloseHandle();  // the next operation connects afresh
  }
}
