// The Qt Network client against a small HTTP server on 127.0.0.1 run by the test itself.
#include "platform/http/qt_http_client.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>
#include <memory>

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

 private:
  void serve(QTcpSocket* socket) {
    QByteArray& request = requests_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) return;
    const QByteArray path = request.split(' ').value(1);
    const QByteArray port = QByteArray::number(server_.serverPort());
    if (path == "/numbers") {
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

}  // namespace
}  // namespace voxloom
