#include "FtpTestServer.h"

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include "TestSupport.h"

namespace {

// The server. A RETR of a name ending in "stall.xml" and a listing of a
// folder whose name ends in "stall" get no answer at all, so clients can test
// their stall limits. A LIST of a folder whose name ends in "odd" ends with a
// line that no listing format reads (with control characters in it where the
// path holds "escape"). A listing of a folder whose name ends in
// "endless" never ends, and so does a RETR of a name holding "endless.xml"
// (which need not exist). A RETR of a name holding "drip.xml" (in passive
// mode) sends one byte every 0.2 s for ever. A RETR or STOR of a name holding
// "break.xml" fails with an I/O error once 64 KB have gone through (a disk
// that fails, a disk that is full), and a STOR of a name holding "full.xml"
// at its first byte. A STOR of a name holding "stall.xml" stops reading the
// data once 64 KB have come (a server that hangs midway). Like some servers,
// it refuses to rename onto an existing file whose name holds "noreplace",
// and to store a name beginning with "." in a folder whose path holds
// "nodots". A LIST of a folder whose path holds "nolist" is refused, so that
// nothing tells the links that its MLSD shows as the folders they lead to;
// the MLSD of a folder whose path holds "nounique" gives no "unique" fact.
const char* const kScript = R"PY(
import logging, os, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, FileProducer
from pyftpdlib.servers import FTPServer

import socket
listening, ready = int(sys.argv[1]), int(sys.argv[2])
root, user, password, mlsd, guest_root = sys.argv[3:8]
logging.basicConfig(level=logging.DEBUG, stream=sys.stderr)

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
authorizer.add_user("guest", "visitor", guest_root, perm="elradfmwMT")

class Handler(FTPHandler):
    pass

Handler.authorizer = authorizer
Handler.auth_failed_timeout = 0
if mlsd != "1":
    Handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}

def ftp_RETR(self, file):
    if file.endswith("stall.xml"):
        return
    return FTPHandler.ftp_RETR(self, file)

Handler.ftp_RETR = ftp_RETR
Handler.use_sendfile = False  # every RETR reads through its file object

class Breaking:
    """A file that fails with an I/O error once limit bytes went through."""
    def __init__(self, fd, limit=65536):
        self.fd, self.done, self.limit = fd, 0, limit
    def read(self, n):
        if self.done >= self.limit:
            raise OSError(5, "Input/output error")
        data = self.fd.read(min(n, self.limit - self.done))
        self.done += len(data)
        return data
    def write(self, data):
        if self.done + len(data) > self.limit:
            raise OSError(28, "No space left on device")
        self.done += len(data)
        return self.fd.write(data)
    def __getattr__(self, name):
        return getattr(self.fd, name)

def breaks(path):
    return "break.xml" in path

class Stalling:
    """A file that takes 64 KB, after which its data connection is no longer read."""
    def __init__(self, fd, handler):
        self.fd, self.handler, self.done = fd, handler, 0
    def write(self, data):
        self.done += len(data)
        if self.done >= 65536 and self.handler.data_channel is not None:
            self.handler.data_channel.del_channel()
        return self.fd.write(data)
    def __getattr__(self, name):
        return getattr(self.fd, name)

def wrap_upload(handler, make):
    if handler.data_channel is not None and handler.data_channel.file_obj is not None:
        handler.data_channel.file_obj = make(handler.data_channel.file_obj)
    elif handler._in_dtp_queue:
        fd, cmd = handler._in_dtp_queue
        handler._in_dtp_queue = (make(fd), cmd)

def ftp_RETR_breaking(self, file):
    if not breaks(file):
        return ftp_RETR(self, file)
    fd = open(file, "rb")
    self.push_dtp_data(FileProducer(Breaking(fd), self._current_type), isproducer=True, file=fd, cmd="RETR")
    return file

class EndlessFile:
    def more(self):
        return b"<endless/>\n" * 6000

def ftp_RETR_dripping(self, file):
    channel = self.data_channel
    if "endless.xml" in file:
        self.push_dtp_data(EndlessFile(), isproducer=True, cmd="RETR")
        return file
    if "drip.xml" not in file or channel is None:
        return ftp_RETR_breaking(self, file)
    self.respond("125 Data connection already open. Transfer starting.")
    channel.cmd = "RETR"
    def drip():
        try:
            channel.push(b"x")
        except Exception:
            timer.cancel()
    timer = self.ioloop.call_every(0.2, drip)
    return file

Handler.ftp_RETR = ftp_RETR_dripping

def ftp_SIZE(self, path):
    if "endless.xml" in path:
        self.respond("502 No size known for this file.")
        return
    return FTPHandler.ftp_SIZE(self, path)

Handler.ftp_SIZE = ftp_SIZE

def ftp_STOR(self, file, mode="w"):
    if "nodots" in file and os.path.basename(file).startswith("."):
        self.respond("553 Names beginning with a dot are not allowed.")
        return
    result = FTPHandler.ftp_STOR(self, file, mode)
    if breaks(file):
        wrap_upload(self, Breaking)
    elif "full.xml" in file:
        wrap_upload(self, lambda fd: Breaking(fd, 0))
    elif "stall.xml" in file:
        wrap_upload(self, lambda fd: Stalling(fd, self))
    return result

Handler.ftp_STOR = ftp_STOR

def ftp_RNTO(self, path):
    if "noreplace" in path and os.path.exists(path):
        self._rnfr = None
        self.respond("553 Cannot replace an existing file.")
        return
    return FTPHandler.ftp_RNTO(self, path)

Handler.ftp_RNTO = ftp_RNTO

class Endless:
    def __init__(self, mlsd):
        self.line = b"type=file;size=1; " if mlsd else b"-rw-r--r-- 1 owner group 1 Jan 01 2020 "
        self.line += b"a-rather-long-name-that-fills-the-listing-quickly.xml\r\n"
    def more(self):
        return self.line * 1000

def stalls(path):
    return path.rstrip("/").endswith("stall")

def endless(path):
    return path.rstrip("/").endswith("endless")

def ftp_LIST(self, path):
    if stalls(path):
        return
    if "nolist" in path:
        self.respond("550 LIST is not allowed here.")
        return
    if endless(path):
        self.push_dtp_data(Endless(False), isproducer=True, cmd="LIST")
        return path
    return FTPHandler.ftp_LIST(self, path)

def ftp_MLSD(self, path):
    if stalls(path):
        return
    if endless(path):
        self.push_dtp_data(Endless(True), isproducer=True, cmd="MLSD")
        return path
    return FTPHandler.ftp_MLSD(self, path)

Handler.ftp_LIST = ftp_LIST
Handler.ftp_MLSD = ftp_MLSD

class FileSystem(AbstractedFS):
    def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
        if "nounique" in basedir:
            facts = [fact for fact in facts if fact != "unique"]
        return AbstractedFS.format_mlsx(self, basedir, listing, perms, facts, ignore_err)

    def format_list(self, basedir, listing, ignore_err=True):
        for line in AbstractedFS.format_list(self, basedir, listing, ignore_err):
            yield line
        if basedir.rstrip("/").endswith("odd"):
            yield b"odd trailing line" + (b" \x1b[2J\x07" if "escape" in basedir else b"") + b"\r\n"

Handler.abstracted_fs = FileSystem
server = FTPServer(socket.socket(fileno=listening), Handler)
os.write(ready, b"1")
os.close(ready)
server.serve_forever()
)PY";

}  // namespace

FtpTestServer::FtpTestServer() : FtpTestServer(Options()) {}

FtpTestServer::FtpTestServer(const Options& options)
    : Settings(options),
      Root(MakeTempFolder("ftp-root")),
      GuestRoot(MakeTempFolder("ftp-guest")),
      WorkFolder(MakeTempFolder("ftp-server"))
{
  WriteTestFile(WorkFolder + "server.py", kScript);
  Start();
}

FtpTestServer::~FtpTestServer()
{
  Stop();
  std::error_code ignored;
  std::filesystem::remove_all(Root, ignored);
  std::filesystem::remove_all(GuestRoot, ignored);
  std::filesystem::remove_all(WorkFolder, ignored);
}

std::string FtpTestServer::Host() const
{
  return "127.0.0.1:" + std::to_string(Port);
}

std::string FtpTestServer::ServerLog() const
{
  return ReadTestFile(WorkFolder + "server.log");
}

void FtpTestServer::Start()
{
  std::string root = Root.substr(0, Root.size() - 1);
  std::string guestRoot = GuestRoot.substr(0, GuestRoot.size() - 1);
  Process.Start(WorkFolder + "server.py",
                {root, Settings.User, Settings.Password, Settings.Mlsd ? "1" : "0", guestRoot}, Port,
                WorkFolder + "server.log");
  Port = Process.Port;
}

void FtpTestServer::Stop()
{
  Process.Stop(true);
}

SilentTcpServer::SilentTcpServer()
{
  Socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(Socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(Socket, 16) != 0)
    throw std::runtime_error("cannot open a silent test port");
  socklen_t len = sizeof addr;
  ::getsockname(Socket, reinterpret_cast<sockaddr*>(&addr), &len);
  Port = ntohs(addr.sin_port);
}

SilentTcpServer::~SilentTcpServer()
{
  ::close(Socket);
}

std::string SilentTcpServer::Host() const
{
  return "127.0.0.1:" + std::to_string(Port);
}
