// The update engine against a real SQLite database: the outcome table, the
// package's preparation and verification in both modes, and that no failure
// of the preparation ever leads to a start.
#include "updater/UpdateEngine.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "common/FileTool.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "database/ado/Connection.h"
#include "platform/ArchivoNativo.h"
#include "platform/ArchivoSellado.h"
#include "platform/Eventos.h"
#include "platform/FirmaEd25519.h"
#include "support/ArbolPrueba.h"
#include "support/MensajesFalsos.h"
#include "support/MotoresPrueba.h"
#include "updater/Core.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace olvado {
namespace {

namespace fs = std::filesystem;

struct EntornoFalso : IEntornoActualizacion {
    int limpiadas = 0, marcadas = 0, chequeos = 0, esperas = 0;
    bool pendienteOk = true, cerradas = true;
    std::string linea;
    std::vector<std::pair<std::string, std::string>> guardadas;
    struct Inicio {
        std::string archivo, parametros, usuario, contrasena;
        bool sellado;
    };
    std::vector<Inicio> iniciados;

    bool ChequearActualizacionPendiente() override { return ++chequeos, pendienteOk; }
    void MarcarActualizacionPendiente() override { ++marcadas; }
    void LimpiarActualizacionPendiente() override { ++limpiadas; }
    bool Registro_GuardarCredenciales(const std::string& u, const std::string& c) override {
        guardadas.emplace_back(u, c);
        return true;
    }
    bool EsperarACerrar() override { return ++esperas, cerradas; }
    bool EjecutarComoAdmin(int32_t, const std::string& a, const std::string& p, const std::string& u,
                           const std::string& c, const platform::ArchivoSellado* s) override {
        iniciados.push_back({a, p, u, c, s && s->Abierto()});
        return true;
    }
    std::string LineaDeComandos() override { return linea; }
    std::string clave;
    std::string ClavePublicaPaquetes() override { return clave; }
};

struct EventosVistos : platform::IEventos {
    std::vector<platform::Evento> vistos;
    bool Registrar(const platform::Evento& e) override {
        vistos.push_back(e);
        return true;
    }
};

struct OrigenFijo : IOrigenConexion {
    std::string cadena;
    bool ObtenerDatosConexion(std::string& n, std::string& c, std::string& k, bool& o) override {
        n = "prueba", c = cadena, k = "", o = true;
        return true;
    }
};

std::string Hex(const std::string& bytes) {
    static const char* d = "0123456789ABCDEF";
    std::string r;
    for (unsigned char b : bytes)
        r += d[b >> 4], r += d[b & 15];
    return r;
}

class UpdateEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        motor_ = prueba::MotoresPrueba().front(); // SQLite: native where the build has it
        c_.Open(motor_.cadena);
        c_.Execute("DROP TABLE IF EXISTS BinariosAct");
        c_.Execute("CREATE TABLE BinariosAct (Producto VARCHAR(50), Major INT, Minor INT, Revision INT, "
                   "MD5Hash VARCHAR(255), Binario " + motor_.Blob() + ")");
        c_.Execute("DROP TABLE IF EXISTS Valores");
        c_.Execute("CREATE TABLE Valores (idVariable VARCHAR(50), Tipo INT, ValorTexto VARCHAR(255), ValorLargo INT)");
        origen_.cadena = motor_.cadena;
        Servicios().DB = std::make_unique<clsDB>(nullptr, &origen_);
        Servicios().SQL = std::make_unique<clsSqlSyntaxEngine>();
        ASSERT_TRUE(Servicios().DB->AbrirDB(false, false));
        FileTool ft;
        carpetaDB_ = ft.Ruta_CalificarRuta(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)) + "DB");
        fs::create_directories(fs::u8path(carpetaDB_));
        paquete_ = carpetaDB_ + Producto() + "_Act.exe";
    }
    void TearDown() override {
        CerrarObjetos();
        std::error_code ec;
        fs::remove_all(fs::u8path(carpetaDB_), ec);
    }
    static std::string Producto() { return ObtenerIdentidadPrograma().Producto; }
    // The product's row; hashCifrado "NULL" stores a null digest.
    void Publicar(int m, int n, int r, const std::string& bytes, const std::string& hashSql) {
        c_.Execute("DELETE FROM BinariosAct");
        c_.Execute("INSERT INTO BinariosAct VALUES ('" + Producto() + "', " + std::to_string(m) + ", " +
                   std::to_string(n) + ", " + std::to_string(r) + ", " + hashSql + ", X'" + Hex(bytes) + "')");
    }
    static std::string Cifrado(const std::string& t) { return "'" + clsEncriptor().Encrypt(t) + "'"; }
    // The digest of the bytes as they are (not as a text in the code page).
    static std::string Md5(const std::string& bytes) {
        clsMD5File md5;
        md5.MD5Init();
        md5.MD5Update(bytes);
        md5.MD5Final();
        return md5.GetValues();
    }

    prueba::ArbolPrueba arbol_;
    prueba::MensajesFalsos mensajes_;
    prueba::MotorPrueba motor_;
    ado::Connection c_;
    OrigenFijo origen_;
    EntornoFalso entorno_;
    IEntornoActualizacion::Reemplazo entornoEnUso_{entorno_};
    std::string carpetaDB_, paquete_;
};

TEST_F(UpdateEngineTest, TablaDeResultados) {
    bool ejecutar = true;
    Publicar(1, 0, 70, "x", "NULL");
    EXPECT_TRUE(ActualizarVersionDistribucion(ejecutar, true, true, 1, 0, 70));
    EXPECT_FALSE(ejecutar);
    EXPECT_EQ(entorno_.limpiadas, 1);

    EXPECT_FALSE(ActualizarVersionDistribucion(ejecutar, true, true, 1, 0, 66));
    EXPECT_TRUE(ejecutar);
    // Installed newer: nothing to do, and silent in updater mode.
    EXPECT_FALSE(ActualizarVersionDistribucion(ejecutar, true, true, 1, 0, 71));
    EXPECT_FALSE(ejecutar);
    Publicar(1, 9, 99, "x", "NULL");
    EXPECT_FALSE(ActualizarVersionDistribucion(ejecutar, true, true, 2, 0, 0));
    EXPECT_FALSE(ejecutar);
    EXPECT_EQ(ResultadoActualizacion(), "al dia");
    EXPECT_EQ(mensajes_.Cantidad(), 0u);
    EXPECT_EQ(entorno_.limpiadas, 1);

    c_.Execute("DELETE FROM BinariosAct");
    EXPECT_TRUE(ActualizarVersionDistribucion(ejecutar, true, true, 1, 0, 66));
    EXPECT_FALSE(ejecutar);
    EXPECT_EQ(entorno_.limpiadas, 2);
    EXPECT_EQ(ResultadoActualizacion(), "sin paquete");

    // A version part a 32-bit integer cannot hold is a fault, not a wrapped newer version.
    for (const char* fuera : {"-2147483649", "2147483648"}) {
        Publicar(1, 0, 70, "x", "NULL");
        c_.Execute(std::string("UPDATE BinariosAct SET Revision = ") + fuera);
        try {
            ActualizarVersionDistribucion(ejecutar, true, true, 1, 0, 66);
            ADD_FAILURE() << fuera;
        } catch (const ErrorOlvado& e) {
            EXPECT_EQ(e.Numero(), 6);
        }
    }
    c_.Execute("DELETE FROM BinariosAct");

    // A query that does not open asks for the preparation (which then fails too).
    c_.Execute("DROP TABLE BinariosAct");
    EXPECT_FALSE(ActualizarVersionDistribucion(ejecutar, true, true, 1, 0, 66));
    EXPECT_TRUE(ejecutar);
    EXPECT_EQ(entorno_.limpiadas, 2);
    EXPECT_EQ(ResultadoActualizacion(), "error");
}

TEST_F(UpdateEngineTest, ProgramaMasRecienteAvisaSoloEnModoInteractivo) {
    const IdentidadPrograma& propia = ObtenerIdentidadPrograma();
    Publicar(0, 0, 1, "x", "NULL");
    bool ejecutar = true;
    // The message names this program's own version even for an external one.
    EXPECT_FALSE(ActualizarVersionDistribucion(ejecutar, false, true, 5, 0, 0));
    EXPECT_FALSE(ejecutar);
    ASSERT_EQ(mensajes_.Cantidad(), 1u);
    std::string v = std::to_string(propia.Major) + "." + std::to_string(propia.Minor) + "." +
                    std::to_string(propia.Revision);
    EXPECT_EQ(mensajes_.Ultimo().texto, "Esta versión de " + Producto() + " (v" + v +
                                            ") es mas reciente que la base de datos (v0.0.1).\r\nDebe obtener y "
                                            "ejecutar un paquete de actualización para poder usar este programa.");
    EXPECT_EQ(mensajes_.Ultimo().estilo, platform::vbExclamation);
    EXPECT_EQ(mensajes_.Ultimo().titulo, "Actualizaciones de " + Producto());
    // A command line silences it; so does updater mode.
    entorno_.linea = "/auto";
    EXPECT_FALSE(ActualizarVersionDistribucion(ejecutar, false, true, 5, 0, 0));
    EXPECT_TRUE(SinMensajesActualizacion());
    EXPECT_EQ(mensajes_.Cantidad(), 1u);
}

TEST_F(UpdateEngineTest, ModoActualizadorEntregaElPaqueteVerificadoYAbierto) {
    const std::string bytes = std::string("MZ\0\x01 paquete", 12) + std::string(70000, 'p');
    // Letter case of the stored digest does not matter.
    Publicar(1, 0, 70, bytes, Cifrado(LCase(Md5(bytes))));
    // Signed, with the workstation's key configured.
    std::string privada;
    ASSERT_TRUE(platform::FirmaEd25519::GenerarClaves(privada, entorno_.clave));
    platform::FirmaEd25519 firma;
    firma.Agregar(bytes.data(), bytes.size());
    c_.Execute("ALTER TABLE BinariosAct ADD Firma VARCHAR(255)");
    c_.Execute("UPDATE BinariosAct SET Firma = '" + firma.Firmar(privada) + "'");
    prueba::EscribirArchivo(fs::u8path(paquete_), "resto de una vez anterior, más largo que nada");
    std::string archivo, parametros;
    platform::ArchivoSellado sellado;
    PrepararPaqueteActualizacion(true, archivo, parametros, &sellado);
    EXPECT_EQ(archivo, paquete_);
    EXPECT_EQ(parametros, "/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-");
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), bytes);
    ASSERT_TRUE(sellado.Abierto());
    EXPECT_EQ(sellado.Ruta(), paquete_);
    EXPECT_EQ(sellado.Tamano(), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(ResultadoActualizacion(), "instalando");
    EXPECT_TRUE(entorno_.iniciados.empty());
    EXPECT_EQ(mensajes_.Cantidad(), 0u);
    EXPECT_EQ(entorno_.esperas + entorno_.chequeos + entorno_.marcadas, 0);
}

TEST_F(UpdateEngineTest, ModoInteractivoPreguntaEsperaMarcaYEjecuta) {
    const std::string bytes = "#!/bin/sh\nexit 0\n";
    Publicar(1, 0, 70, bytes, Cifrado(Md5(bytes)));
    c_.Execute("INSERT INTO Valores VALUES ('EXU', 1, " + Cifrado("admin") + ", 0)");
    c_.Execute("INSERT INTO Valores VALUES ('EXC', 1, " + Cifrado("s3creta") + ", 0)");
    std::string archivo, parametros;
    PrepararPaqueteActualizacion(false, archivo, parametros);
    EXPECT_TRUE(archivo.empty() && parametros.empty());
    ASSERT_EQ(mensajes_.Cantidad(), 1u);
    EXPECT_EQ(mensajes_.Ultimo().estilo, platform::vbExclamation | platform::vbOKCancel);
    EXPECT_EQ(mensajes_.Ultimo().titulo, "Actualización de " + Producto());
    EXPECT_EQ(mensajes_.Ultimo().texto.rfind("Esta versión de " + Producto() + " necesita actualizarse.", 0), 0u);
    EXPECT_NE(mensajes_.Ultimo().texto.find("\r\n\r\n1. Cierre todos los demás programas abiertos, dejando "
                                            "sólamente esta ventana.\r\n2. Haga click en ACEPTAR"),
              std::string::npos);
    EXPECT_EQ(entorno_.chequeos, 1);
    EXPECT_EQ(entorno_.esperas, 1);
    EXPECT_EQ(entorno_.marcadas, 1);
    ASSERT_EQ(entorno_.iniciados.size(), 1u);
    EXPECT_EQ(entorno_.iniciados[0].archivo, paquete_);
    EXPECT_EQ(entorno_.iniciados[0].parametros, "/SILENT /SUPPRESSMSGBOXES /NOCANCEL");
    EXPECT_EQ(entorno_.iniciados[0].usuario, "admin");
    EXPECT_EQ(entorno_.iniciados[0].contrasena, "s3creta");
    EXPECT_TRUE(entorno_.iniciados[0].sellado);
    // The registry receives the texts still enciphered.
    ASSERT_EQ(entorno_.guardadas.size(), 1u);
    EXPECT_NE(entorno_.guardadas[0].first, "admin");
    std::string u = entorno_.guardadas[0].first;
    bool ok = false;
    EXPECT_EQ(clsEncriptor().Decrypt(u, ok), "admin");

    // The user closing nothing, a pending restart or a command line: no start.
    entorno_.cerradas = false;
    PrepararPaqueteActualizacion(false, archivo, parametros);
    entorno_.cerradas = true;
    entorno_.pendienteOk = false;
    PrepararPaqueteActualizacion(false, archivo, parametros);
    entorno_.pendienteOk = true;
    entorno_.linea = "x";
    PrepararPaqueteActualizacion(false, archivo, parametros);
    EXPECT_EQ(entorno_.iniciados.size(), 1u);
    EXPECT_EQ(entorno_.esperas, 2);
    EXPECT_EQ(entorno_.chequeos, 3);
}

TEST_F(UpdateEngineTest, NingunaFallaDeLaPreparacionLlegaAEjecutar) {
    const std::string bytes = "#!/bin/sh\necho malo\n";
    struct Caso {
        const char* nombre;
        std::function<void()> preparar;
        bool quedaArchivo;
        const char* mensaje; // interactive mode's message, "" for none
        const char* resultado;
    };
    std::string privada, otraPublica;
    ASSERT_TRUE(platform::FirmaEd25519::GenerarClaves(privada, otraPublica));
    const std::string noVerificado = "No se pudo verificar la autenticidad del archivo de actualización.";
    std::vector<Caso> casos{
        {"sin fila", [&] { c_.Execute("DELETE FROM BinariosAct"); }, false,
         "No se encuentra el paquete de actualización, favor consulte con el administrador del sistema.",
         "sin paquete"},
        {"consulta fallida", [&] { c_.Execute("DROP TABLE BinariosAct"); }, false, "", "error"},
        {"escritura fallida", [&] { fs::remove_all(fs::u8path(carpetaDB_)); }, false, "", "error"},
        {"digesto distinto", [&] { Publicar(1, 0, 70, bytes, Cifrado(Md5(bytes + "!"))); }, false,
         noVerificado.c_str(), "digesto distinto"},
        {"digesto vacío", [&] { Publicar(1, 0, 70, bytes, "''"); }, true, "", "sin digesto"},
        {"digesto nulo", [&] { Publicar(1, 0, 70, bytes, "NULL"); }, true, "", "sin digesto"},
        {"digesto indescifrable", [&] { Publicar(1, 0, 70, bytes, "'" + Md5(bytes) + "'"); }, true, "",
         "sin digesto"},
        // A key configured: no Firma column, then a signature of other bytes.
        {"sin firma", [&] { entorno_.clave = otraPublica; }, false, noVerificado.c_str(), "firma no valida"},
        {"firma de otros bytes",
         [&] {
             entorno_.clave = otraPublica;
             platform::FirmaEd25519 otra;
             otra.Agregar(bytes.data(), bytes.size() - 1);
             c_.Execute("ALTER TABLE BinariosAct ADD Firma VARCHAR(255)");
             c_.Execute("UPDATE BinariosAct SET Firma = '" + otra.Firmar(privada) + "'");
         },
         false, noVerificado.c_str(), "firma no valida"},
    };
    std::set<std::string> motivos;
    for (bool actualizador : {true, false}) {
        for (const auto& caso : casos) {
            SCOPED_TRACE(std::string(caso.nombre) + (actualizador ? " (actualizador)" : " (interactivo)"));
            c_.Close();
            TearDown();
            SetUp();
            Publicar(1, 0, 70, bytes, Cifrado(Md5(bytes)));
            caso.preparar();
            mensajes_.mostrados.clear();
            std::string archivo, parametros;
            platform::ArchivoSellado sellado;
            EventosVistos eventos;
            platform::IEventos::Reemplazo enUso(eventos);
            PrepararPaqueteActualizacion(actualizador, archivo, parametros, &sellado);
            // Each failure's own reason reaches the system's log once.
            ASSERT_EQ(eventos.vistos.size(), 1u);
            EXPECT_EQ(eventos.vistos[0].Origen, Producto());
            EXPECT_EQ(eventos.vistos[0].Tipo, 1);
            motivos.insert(eventos.vistos[0].Mensaje);
            EXPECT_TRUE(archivo.empty());
            EXPECT_TRUE(parametros.empty());
            EXPECT_FALSE(sellado.Abierto());
            EXPECT_TRUE(entorno_.iniciados.empty());
            EXPECT_EQ(entorno_.marcadas, 0);
            EXPECT_EQ(fs::exists(fs::u8path(paquete_)), caso.quedaArchivo);
            EXPECT_EQ(ResultadoActualizacion(), caso.resultado);
            entorno_.clave.clear();
            size_t avisos = actualizador ? 0 : 1; // the question
            if (!actualizador && *caso.mensaje)
                ++avisos;
            ASSERT_EQ(mensajes_.Cantidad(), avisos);
            if (avisos == 2) {
                EXPECT_EQ(mensajes_.Ultimo().texto.rfind(caso.mensaje, 0), 0u) << mensajes_.Ultimo().texto;
            }
        }
    }
    EXPECT_EQ(motivos.size(), 6u); // the three unusable digests share theirs, the two bad signatures too
}

// A package gone, or a folder in its place, while its digest is taken: a
// run-time fault for Main's error path, not a mismatch (no message).
TEST_F(UpdateEngineTest, PaqueteIlegibleEsUnaFallaDeEjecucion) {
    const std::string hash = clsEncriptor().Encrypt(Md5("x"));
    EXPECT_THROW(VerificarAutenticidadPaquete(paquete_, hash, false), ErrorOlvado);
    fs::create_directories(fs::u8path(paquete_));
    EXPECT_THROW(VerificarAutenticidadPaquete(paquete_, hash, false), ErrorOlvado);
    EXPECT_EQ(mensajes_.Cantidad(), 0u);
}

TEST_F(UpdateEngineTest, UnPaqueteAnteriorQueNoSePuedeBorrarDetieneLaPreparacion) {
    const std::string bytes = "#!/bin/sh\n";
    Publicar(1, 0, 70, bytes, Cifrado(Md5(bytes)));
    prueba::EscribirArchivo(fs::u8path(paquete_), "anterior");
    platform::ArchivoNativo ocupado;
    ASSERT_TRUE(ocupado.Abrir(paquete_, platform::ArchivoNativo::Modo::LeerEscribir));
    std::string archivo, parametros;
    PrepararPaqueteActualizacion(true, archivo, parametros);
    EXPECT_TRUE(archivo.empty());
    EXPECT_EQ(mensajes_.Cantidad(), 0u);
    PrepararPaqueteActualizacion(false, archivo, parametros);
    ASSERT_EQ(mensajes_.Cantidad(), 2u);
    EXPECT_EQ(mensajes_.Ultimo().texto, "No se puede preparar el archivo de instalación, favor elimine manualmente "
                                        "este archivo e intente de nuevo: \r\n\r\n" + paquete_);
    EXPECT_EQ(mensajes_.Ultimo().estilo, platform::vbExclamation);
    ocupado.Cerrar();
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), "anterior");
    EXPECT_TRUE(entorno_.iniciados.empty());
}

TEST_F(UpdateEngineTest, CredencialesFaltantesDejanAmbasVacias) {
    std::string u = "x", c = "y";
    c_.Execute("INSERT INTO Valores VALUES ('EXU', 1, " + Cifrado("admin") + ", 0)");
    ObtenerCredencialesEjecucion(u, c);
    EXPECT_EQ(u, "");
    EXPECT_EQ(c, "");
    EXPECT_TRUE(entorno_.guardadas.empty());
    c_.Execute("INSERT INTO Valores VALUES ('EXC', 1, " + Cifrado("clave") + ", 0)");
    ObtenerCredencialesEjecucion(u, c);
    EXPECT_EQ(u, "admin");
    EXPECT_EQ(c, "clave");
}

} // namespace
} // namespace olvado
