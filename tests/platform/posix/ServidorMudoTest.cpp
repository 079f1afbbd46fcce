// A server that accepts the connection and never answers: the opening ends
// by the connection time-out instead of holding the updater.
#include "database/ado/Connection.h"
#include "support/ErrorVisto.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <future>
#include <netinet/in.h>
#include <sys/socket.h>
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
    std::string cadena =
        "Driver={MariaDB Unicode};Server=127.0.0.1;Port=" + std::to_string(ntohs(dir.sin_port)) +
        ";Database=x;User=u;Password=p;";
    auto abrir = std::async(std::launch::async, [cadena] {
        ado::Connection c;
        c.ConnectionTimeout = 2;
        return prueba::ErrorDe([&] { c.Open(cadena); }).numero;
    });
    bool termino = abrir.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    ::close(mudo); // ends a handshake still waiting, so the test itself ends
    EXPECT_TRUE(termino);
    EXPECT_NE(abrir.get(), 0);
}
