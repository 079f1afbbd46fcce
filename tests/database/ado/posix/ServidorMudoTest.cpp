// A server that accepts the connection and never answers, and one that
// answers a byte at a time for ever: the opening ends by the connection
// time-out instead of holding the updater.
#include "database/ado/Connection.h"
#include "support/ErrorVisto.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <future>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace olvado;

TEST(ServidorMudoTest, LaConexionTerminaPorSuTiempoLimite) {
    int mudo = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof dir;
    ASSERT_EQ(::bind(mudo, reinterpret_cast<sockaddr*>(&dir), sizeof dir), 0);
    ASSERT_EQ(::listen(mudo, 4), 0); // the kernel accepts; nobody ever answers
    ASSERT_EQ(::getsockname(mudo, reinterpret_cast<sockaddr*>(&dir), &largo), 0);
    const auto cadenaDe = [&] {
        return "Driver={MariaDB Unicode};Server=127.0.0.1;Port=" + std::to_string(ntohs(dir.sin_port)) +
               ";Database=x;User=u;Password=p;";
    };
    std::string cadena = cadenaDe();
    auto abrir = std::async(std::launch::async, [cadena] {
        ado::Connection c;
        c.ConnectionTimeout = 2;
        return prueba::ErrorDe([&] { c.Open(cadena); }).numero;
    });
    bool termino = abrir.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    ::close(mudo); // ends a handshake still waiting, so the test itself ends
    EXPECT_TRUE(termino);
    EXPECT_NE(abrir.get(), 0);

    // The greeting's header announces a long packet whose bytes come one per
    // half second: every read of the driver succeeds, the open as a whole
    // must not outlast its 2 s.
    mudo = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    dir.sin_port = 0;
    ASSERT_EQ(::bind(mudo, reinterpret_cast<sockaddr*>(&dir), sizeof dir), 0);
    ASSERT_EQ(::listen(mudo, 4), 0);
    ASSERT_EQ(::getsockname(mudo, reinterpret_cast<sockaddr*>(&dir), &largo), 0);
    std::atomic<bool> fin{false};
    std::thread servidor([&] {
        int c = ::accept(mudo, nullptr, nullptr);
        ::send(c, "\xff\xff\x00\x00", 4, MSG_NOSIGNAL);
        for (int i = 0; i < 60 && !fin && ::send(c, "\x0a", 1, MSG_NOSIGNAL) == 1; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ::close(c);
    });
    ado::Connection c;
    c.ConnectionTimeout = 2;
    const auto inicio = std::chrono::steady_clock::now();
    EXPECT_NE(prueba::ErrorDe([&] { c.Open(cadenaDe()); }).numero, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(10));
    fin = true;
    servidor.join();
    ::close(mudo);
}
