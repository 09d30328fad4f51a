// The Qt Network client against a small HTTP server on 127.0.0.1 run by the test itself.
#include "platform/http/qt_http_client.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/qt_signal_watcher.h"

namespace voxloom {
namespace {

// Answers by the request's path; loopback only.
class LoopbackServer {
 public:
  LoopbackServer() {
    EXPECT_TRUE(server_.listen(QHostAddress(QHostAddress::LocalHost), 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        // A later socket may get this one's address: its request must start empty.
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
          requests_.erase(socket);
          socket->deleteLater();
        });
      }
    });
  }
  std::string url(const char* path) const {
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
  }
  qint64 hugeBytesSent = 0;
  int requestsSeen = 0;
  QByteArray lastRequest;

 private:
  void serve(QTcpSocket* socket) {
    QByteArray& request = requests_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) return;
    const QByteArray path = request.split(' ').value(1);
    const QByteArray port = QByteArray::number(server_.serverPort());
    ++requestsSeen;
    lastRequest = request;
    if (path == "/short-close" || path == "/short-reset") {
      socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n12345\n678");
      if (path == "/short-close") return socket->disconnectFromHost();
      socket->flush();
      const linger reset{1, 0};  // closed with a reset
      setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      socket->abort();
    } else if (path == "/chunks-cut" || path == "/chunk-zz") {
      socket->write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\n12345\n678\r\n");
      if (path == "/chunk-zz") socket->write("ZZ\r\n4\r\n999\n\r\n0\r\n\r\n");
      socket->disconnectFromHost();
    } else if (path.startsWith("/hops/") || path == "/loop") {  // "/hops/3": 3 redirects
      const int left = path.mid(6).toInt();
      const QByteArray next = left == 1 ? "/numbers" : "/hops/" + QByteArray::number(left - 1);
      reply(socket, "302 Found", "", "Location: " + (path == "/loop" ? path : next) + "\r\n");
    } else if (path == "/gzip") {
      reply(socket, "200 OK", QByteArray::fromHex("1f8b0800000000000003"),
            "Content-Encoding: gzip\r\n");
    } else if (path == "/endless-header" || path == "/trickled-header") {
      // A header line that never ends: as fast as the client reads, or a byte at a time.
      socket->write("HTTP/1.1 200 OK\r\nX-Padding: ");
      const bool fast = path == "/endless-header";
      auto* timer = new QTimer(socket);
      QObject::connect(timer, &QTimer::timeout, socket, [socket, fast] {
        if (socket->bytesToWrite() < 65536) socket->write(QByteArray(fast ? 65536 : 1, 'a'));
      });
      timer->start(fast ? 1 : 20);
    } else if (path == "/numbers") {
      reply(socket, "200 OK", "5\n17\n3\n");
    } else if (path == "/missing") {
      reply(socket, "404 Not Found", "<html>gone</html>");
    } else if (path == "/moved") {
      reply(socket, "302 Found", "", "Location: http://127.0.0.1:" + port + "/numbers\r\n");
    } else if (path == "/to-https") {
      reply(socket, "302 Found", "", "Location: https://127.0.0.1:" + port + "/numbers\r\n");
    } else if (path == "/to-ftp") {
      reply(socket, "301 Moved Permanently", "", "Location: ftp://127.0.0.1/numbers\r\n");
    } else if (path == "/huge") {
      // 100 MB announced and sent as fast as the client takes it.
      socket->write(
          "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 104857600\r\n\r\n");
      const QByteArray chunk = QByteArray("123456\n").repeated(9362);
      auto more = [this, socket, chunk] {
        if (hugeBytesSent >= 104857600 || socket->bytesToWrite() > 4 * chunk.size()) return;
        hugeBytesSent += socket->write(chunk);
      };
      QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
      more();
    }
    // "/silent": never answers.
  }
  static void reply(QTcpSocket* socket, const QByteArray& status, const QByteArray& body,
                    const QByteArray& headers = {}) {
    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n" + headers + "Connection: close\r\n\r\n" +
                  body);
    socket->disconnectFromHost();
  }

  // Declared first: the server's sockets still tell of their disconnection while it goes.
  std::map<QTcpSocket*, QByteArray> requests_;
  QTcpServer server_;
};

class QtHttpClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() == nullptr) {
      static int argc = 1;
      static char name[] = "platform_tests";
      static char* argv[] = {name, nullptr};
      static QCoreApplication application(argc, argv);
    }
  }
  LoopbackServer server;
  // Short, so the silent server costs little; generous enough for a loaded machine.
  std::unique_ptr<HttpClient> client = makeQtHttpClient(std::chrono::milliseconds(3000));
};

TEST_F(QtHttpClientTest, RepliesStatusesAndRedirectsWithinTheScheme) {
  HttpReply reply = client->get(server.url("/numbers"), 1000);
  EXPECT_EQ(reply.error, "");
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body, "5\n17\n3\n");
  EXPECT_FALSE(reply.truncated);

  reply = client->get(server.url("/missing"), 1000);
  EXPECT_EQ(reply.error, "");
  EXPECT_EQ(reply.status, 404);
  EXPECT_EQ(reply.reason, "Not Found");

  reply = client->get(server.url("/moved"), 1000);
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body, "5\n17\n3\n");

  for (const char* path : {"/to-https", "/to-ftp"}) {
    reply = client->get(server.url(path), 1000);
    EXPECT_NE(reply.error.find("Redirect to another scheme refused"), std::string::npos)
        << path << ": " << reply.error;
    EXPECT_EQ(reply.body, "");
  }

  reply = client->get("file:///etc/hostname", 1000);
  EXPECT_NE(reply.error, "");
}

TEST_F(QtHttpClientTest, AHugeBodyIsCutAtTheLimitWithoutReadingItAll) {
  const HttpReply reply = client->get(server.url("/huge"), 16384);
  EXPECT_EQ(reply.error, "");
  EXPECT_TRUE(reply.truncated);
  EXPECT_EQ(reply.body.size(), 16384u);
  EXPECT_EQ(reply.body.substr(0, 14), "123456\n123456\n");
  EXPECT_LT(server.hugeBytesSent, 20 << 20);  // the client stopped long before 100 MB
}

TEST_F(QtHttpClientTest, SilenceEndsAtTheTimeOutAndAClosedPortAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  HttpReply reply = client->get(server.url("/silent"), 1000);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(reply.error, "No answer within 3 s");
  EXPECT_GE(waited, std::chrono::milliseconds(2900));
  EXPECT_LT(waited, std::chrono::seconds(30));

  QTcpServer closed;  // a port that was free a moment ago
  ASSERT_TRUE(closed.listen(QHostAddress(QHostAddress::LocalHost), 0));
  const quint16 port = closed.serverPort();
  closed.close();
  reply = client->get("http://127.0.0.1:" + std::to_string(port) + "/", 1000);
  EXPECT_NE(reply.error, "");
  EXPECT_EQ(reply.status, 0);
}

// Every reply that is not whole and plain is a failure; redirects end after ten.
TEST_F(QtHttpClientTest, IncompleteEncodedOrEndlessRepliesFailWithAReason) {
  struct Case {
    const char* path;
    const char* error;  // a part of the message; none: the numbers arrive
  };
  const Case cases[] = {
      {"/short-close", "ended early (9 of 1000 bytes)"},
      {"/short-reset", ""},  // whichever the system reports first, never the body
      {"/chunks-cut", "ended early"},
      {"/chunk-zz", "Malformed chunked reply"},
      {"/hops/3", nullptr},
      {"/hops/10", nullptr},
      {"/hops/11", "Too many redirects"},
      {"/loop", "Too many redirects"},
      {"/gzip", "compressed (gzip)"},
      {"/endless-header", "header is larger than 64 KiB"},
  };
  for (const Case& c : cases) {
    const HttpReply reply = client->get(server.url(c.path), 1000);
    if (c.error == nullptr) {
      EXPECT_EQ(reply.error, "") << c.path;
      EXPECT_EQ(reply.body, "5\n17\n3\n") << c.path;
    } else {
      EXPECT_NE(reply.error, "") << c.path;
      EXPECT_NE(reply.error.find(c.error), std::string::npos) << c.path << ": " << reply.error;
      EXPECT_EQ(reply.body, "") << c.path;
    }
  }
  EXPECT_NE(server.lastRequest.indexOf("\r\nAccept-Encoding: identity\r\n"), -1);

  // The limit holds for the whole request: a header that never ends cannot hold it.
  const auto shortClient = makeQtHttpClient(std::chrono::milliseconds(300));
  const auto start = std::chrono::steady_clock::now();
  const HttpReply reply = shortClient->get(server.url("/trickled-header"), 1000);
  EXPECT_EQ(reply.error, "No answer within 300 ms");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
}

// Run only as the child of the test below: fetches as the window does, in the
// application's loop, and ends as the window does on SIGTERM.
TEST_F(QtHttpClientTest, DISABLED_FetchesUntilSignalled) {
  const char* url = std::getenv("VOXLOOM_FETCH_URL");
  if (url == nullptr) GTEST_SKIP();
  auto http = makeQtHttpClient();
  QtSignalWatcher watcher([](int signalNumber) { QCoreApplication::exit(128 + signalNumber); });
  QTimer::singleShot(0, [&] { http->get(url, 16384); });
  const int code = QCoreApplication::exec();
  http.reset();
  std::exit(code);
}

TEST_F(QtHttpClientTest, SigtermDuringAFetchEndsTheProgramWithinTwoSeconds) {
  for (const char* path : {"/silent", "/endless-header"}) {
    const int before = server.requestsSeen;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      setenv("VOXLOOM_FETCH_URL", server.url(path).c_str(), 1);
      if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
      char program[] = "/proc/self/exe";
      char filter[] = "--gtest_filter=QtHttpClientTest.DISABLED_FetchesUntilSignalled";
      char disabled[] = "--gtest_also_run_disabled_tests";
      char* argv[] = {program, filter, disabled, nullptr};
      execv(program, argv);
      _exit(127);
    }
    auto waitFor = [](auto done, std::chrono::milliseconds limit) {  // serving meanwhile
      for (const auto start = std::chrono::steady_clock::now(); !done();
           std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
        if (std::chrono::steady_clock::now() - start > limit) return false;
        QCoreApplication::processEvents();
      }
      return true;
    };
    EXPECT_TRUE(waitFor([&] { return server.requestsSeen > before; }, std::chrono::seconds(20)));
    waitFor([] { return false; }, std::chrono::milliseconds(300));  // well into the fetch
    ASSERT_EQ(kill(child, SIGTERM), 0);
    int status = 0;
    const bool ended =
        waitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, std::chrono::seconds(2));
    if (!ended) kill(child, SIGKILL), waitpid(child, &status, 0);
    EXPECT_TRUE(ended) << path << ": still running 2 s after SIGTERM";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << path;
  }
}

}  // namespace
}  // namespace voxloom
