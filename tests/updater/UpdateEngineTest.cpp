// The update engine against a real SQLite database: the outcome table, the
// package's preparation and verification in both modes, and that no failure
// of the preparation ever leads to a start.
#include "updater/UpdateEngine.h"

#include "base/Texto.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "database/ado/Connection.h"
#include "platform/ArchivoNativo.h"
#include "platform/ArchivoSellado.h"
#include "platform/FirmaEd25519.h"
#include "support/ActualizadorPrueba.h"
#include "support/ErrorVisto.h"
#include "support/MensajesFalsos.h"
#include "updater/Core.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

namespace olvado {
namespace {

namespace fs = std::filesystem;
using prueba::Md5;
// File, parameters, user, password, and whether the sealed file was open.
using Inicio = std::tuple<std::string, std::string, std::string, std::string, bool>;
using Preparado = std::pair<std::string, std::string>; // file and parameters handed back
using Salida = std::tuple<bool, bool, int, std::string>;

struct EntornoFalso : IEntornoActualizacion {
    int limpiadas = 0, marcadas = 0, chequeos = 0, esperas = 0;
    bool pendienteOk = true, cerradas = true, claveIlegible = false;
    std::string linea, clave;
    std::vector<std::pair<std::string, std::string>> guardadas;
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
        iniciados.emplace_back(a, p, u, c, s && s->Abierto());
        return true;
    }
    std::string LineaDeComandos() override { return linea; }
    bool ClavePublicaPaquetes(std::string& c, std::string& motivo) override {
        c = clave, motivo = claveIlegible ? "hive ilegible" : "";
        return !claveIlegible;
    }
};

struct OrigenFijo : IOrigenConexion {
    std::string cadena;
    bool ObtenerDatosConexion(std::string& n, std::string& c, std::string& k, bool& o) override {
        n = "prueba", c = cadena, k = "", o = true;
        return true;
    }
};

class UpdateEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        motor_ = prueba::MotoresPrueba().front(); // SQLite: native where the build has it
        prueba::CrearTablas(motor_);
        c_.Open(motor_.cadena);
        origen_.cadena = motor_.cadena;
        Servicios().DB = std::make_unique<clsDB>(nullptr, &origen_);
        Servicios().SQL = std::make_unique<clsSqlSyntaxEngine>();
        ASSERT_TRUE(Servicios().DB->AbrirDB(false, false));
        Servicios().Paquete.reset();
        carpetaDB_ = prueba::CarpetaPaquete();
        fs::create_directories(fs::u8path(carpetaDB_));
        paquete_ = carpetaDB_ + Producto() + "_Act.exe";
    }
    void TearDown() override {
        CerrarObjetos();
        Servicios().Paquete.reset(); // lets the held package go
        std::error_code ec;
        fs::remove_all(fs::u8path(carpetaDB_), ec);
    }
    static std::string Producto() { return ObtenerIdentidadPrograma().Producto; }
    // The last box as one value: text, style, title.
    auto Caja() const {
        return std::tie(mensajes_.Ultimo().texto, mensajes_.Ultimo().estilo, mensajes_.Ultimo().titulo);
    }
    void Publicar(const std::string& version, const std::string& bytes,
                  const std::optional<std::string>& digesto) {
        prueba::PublicarPaquete(motor_.cadena, version, bytes, digesto, Producto());
    }
    static std::string Cifrado(const std::string& t) { return clsEncriptor().Encrypt(t); }
    void Variable(const std::string& id, const std::string& texto) {
        c_.Execute("INSERT INTO Valores VALUES ('" + id + "', 1, '" + Cifrado(texto) + "', 0)");
    }
    // The signature of `bytes` as the product's package of `version`: the
    // signed text written out here, as a publisher's own tool would.
    std::string FirmaDe(const std::string& bytes, const std::string& privada, const std::string& version) {
        platform::FirmaEd25519 f;
        f.Agregar(bytes.data(), bytes.size());
        return platform::FirmaEd25519::FirmarMensaje(privada, "Paquete firmado de OlvadoUpdater\nProducto: " +
                                                                  Producto() + "\nVersion: " + version +
                                                                  "\nSHA-256: " + f.Sha256Hex() + "\n");
    }
    // The row's Firma column.
    void Firmar(const std::string& bytes, const std::string& privada, const std::string& version = "1.0.70") {
        c_.Execute("ALTER TABLE BinariosAct ADD Firma VARCHAR(255)");
        c_.Execute("UPDATE BinariosAct SET Firma = '" + FirmaDe(bytes, privada, version) + "'");
    }
    // One version check: its answer, Ejecutar, the pending marks cleared, the outcome.
    Salida Actualizar(bool actualizador, int32_t major, int32_t minor, int32_t revision) {
        bool ejecutar = true;
        entorno_.limpiadas = 0;
        const bool r = ActualizarVersionDistribucion(ejecutar, actualizador, true, major, minor, revision);
        return {r, ejecutar, entorno_.limpiadas, PaqueteActual().Resultado};
    }
    Preparado Preparar(bool actualizador) {
        Preparado r;
        PrepararPaqueteActualizacion(actualizador, r.first, r.second);
        return r;
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
    // A version part a 32-bit integer cannot hold is a fault, not a wrapped newer version.
    for (const char* fuera : {"-2147483649", "2147483648"}) {
        Publicar("1.0.70", "x", std::nullopt);
        c_.Execute(std::string("UPDATE BinariosAct SET Revision = ") + fuera);
        EXPECT_EQ(prueba::ErrorDe([&] { Actualizar(true, 1, 0, 66); }).numero, 6) << fuera;
    }
    Publicar("1.0.70", "x", std::nullopt);
    EXPECT_EQ(Actualizar(true, 1, 0, 70), Salida(true, false, 1, "al dia"));
    EXPECT_EQ(Actualizar(true, 1, 0, 66), Salida(false, true, 0, "error"));
    // Installed newer: nothing to do, and silent in updater mode.
    EXPECT_EQ(Actualizar(true, 1, 0, 71), Salida(false, false, 0, "al dia"));
    Publicar("1.9.99", "x", std::nullopt);
    EXPECT_EQ(Actualizar(true, 2, 0, 0), Salida(false, false, 0, "al dia"));
    EXPECT_EQ(mensajes_.Cantidad(), 0u);
    c_.Execute("DELETE FROM BinariosAct");
    EXPECT_EQ(Actualizar(true, 1, 0, 66), Salida(true, false, 1, "sin paquete"));
    // A query that does not open asks for the preparation (which then fails too).
    c_.Execute("DROP TABLE BinariosAct");
    EXPECT_EQ(Actualizar(true, 1, 0, 66), Salida(false, true, 0, "error"));
}

TEST_F(UpdateEngineTest, ProgramaMasRecienteAvisaSoloEnModoInteractivo) {
    const IdentidadPrograma& propia = ObtenerIdentidadPrograma();
    Publicar("0.0.1", "x", std::nullopt);
    // The message names this program's own version even for an external one.
    EXPECT_EQ(Actualizar(false, 5, 0, 0), Salida(false, false, 0, "al dia"));
    ASSERT_EQ(mensajes_.Cantidad(), 1u);
    std::string v = std::to_string(propia.Major) + "." + std::to_string(propia.Minor) + "." +
                    std::to_string(propia.Revision);
    EXPECT_EQ(
        Caja(),
        std::make_tuple("Esta versión de " + Producto() + " (v" + v +
                            ") es mas reciente que la base de datos (v0.0.1).\r\nDebe obtener y ejecutar un "
                            "paquete de actualización para poder usar este programa.",
                        platform::vbExclamation, "Actualizaciones de " + Producto()));
    // A command line silences it; so does updater mode.
    entorno_.linea = "/auto";
    EXPECT_EQ(Actualizar(false, 5, 0, 0), Salida(false, false, 0, "al dia"));
    EXPECT_TRUE(PaqueteActual().SinMensajes);
    EXPECT_EQ(mensajes_.Cantidad(), 1u);
}

TEST_F(UpdateEngineTest, ModoActualizadorEntregaElPaqueteVerificadoYAbierto) {
    const std::string bytes = std::string("MZ\0\x01 paquete", 12) + std::string(70000, 'p');
    // Letter case of the stored digest does not matter.
    Publicar("1.0.70", bytes, Cifrado(LCase(Md5(bytes))));
    // Signed, with the workstation's key configured.
    std::string privada;
    ASSERT_TRUE(platform::FirmaEd25519::GenerarClaves(privada, entorno_.clave));
    Firmar(bytes, privada);
    prueba::EscribirArchivo(fs::u8path(paquete_), "resto de una vez anterior, más largo que nada");
    EXPECT_EQ(Preparar(true), Preparado(paquete_, "/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-"));
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), bytes);
    platform::ArchivoSellado& sellado = PaqueteActual().Sellado();
    EXPECT_EQ(std::make_tuple(sellado.Abierto(), sellado.Ruta(), sellado.Tamano()),
              std::make_tuple(true, paquete_, static_cast<int64_t>(bytes.size())));
    EXPECT_EQ(PaqueteActual().Resultado, "instalando");
    EXPECT_TRUE(entorno_.iniciados.empty());
    EXPECT_EQ(mensajes_.Cantidad(), 0u);
    EXPECT_EQ(entorno_.esperas + entorno_.chequeos + entorno_.marcadas, 0);
}

TEST_F(UpdateEngineTest, ModoInteractivoPreguntaEsperaMarcaYEjecuta) {
    const std::string bytes = "#!/bin/sh\nexit 0\n";
    Publicar("1.0.70", bytes, Cifrado(Md5(bytes)));
    Variable("EXU", "admin");
    Variable("EXC", "s3creta");
    EXPECT_EQ(Preparar(false), Preparado());
    ASSERT_EQ(mensajes_.Cantidad(), 1u);
    EXPECT_EQ(mensajes_.Ultimo().estilo, platform::vbExclamation | platform::vbOKCancel);
    EXPECT_EQ(mensajes_.Ultimo().titulo, "Actualización de " + Producto());
    EXPECT_EQ(mensajes_.Ultimo().texto.rfind("Esta versión de " + Producto() + " necesita actualizarse.", 0),
              0u);
    EXPECT_NE(mensajes_.Ultimo().texto.find("\r\n\r\n1. Cierre todos los demás programas abiertos, dejando "
                                            "sólamente esta ventana.\r\n2. Haga click en ACEPTAR"),
              std::string::npos);
    EXPECT_EQ(std::tie(entorno_.chequeos, entorno_.esperas, entorno_.marcadas), std::make_tuple(1, 1, 1));
    const Inicio inicio{paquete_, "/SILENT /SUPPRESSMSGBOXES /NOCANCEL", "admin", "s3creta", true};
    EXPECT_EQ(entorno_.iniciados, std::vector<Inicio>{inicio});
    // The registry receives the texts still enciphered.
    ASSERT_EQ(entorno_.guardadas.size(), 1u);
    bool ok = false;
    EXPECT_EQ(clsEncriptor().Decrypt(entorno_.guardadas[0].first, ok), "admin");

    // The user closing nothing, a pending restart, a question no one could
    // answer or a command line: no start.
    entorno_.cerradas = false;
    Preparar(false);
    entorno_.cerradas = true;
    entorno_.pendienteOk = false;
    Preparar(false);
    entorno_.pendienteOk = true;
    mensajes_.respuesta = 0;
    Preparar(false);
    mensajes_.respuesta = platform::vbOK;
    entorno_.linea = "x";
    Preparar(false);
    EXPECT_EQ(entorno_.iniciados.size(), 1u);
    EXPECT_EQ(std::tie(entorno_.chequeos, entorno_.esperas), std::make_tuple(4, 2));
    // With the password missing both are left empty, and nothing is saved.
    c_.Execute("DELETE FROM Valores WHERE idVariable = 'EXC'");
    std::string u = "x", c = "y";
    ObtenerCredencialesEjecucion(u, c);
    EXPECT_EQ(std::tie(u, c), std::make_tuple("", ""));
    EXPECT_EQ(entorno_.guardadas.size(), 1u);
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
    const char* noVerificado = "No se pudo verificar la autenticidad del archivo de actualización.";
    std::vector<Caso> casos{
        {"sin fila", [&] { c_.Execute("DELETE FROM BinariosAct"); }, false,
         "No se encuentra el paquete de actualización, favor consulte con el administrador del sistema.",
         "sin paquete"},
        {"consulta fallida", [&] { c_.Execute("DROP TABLE BinariosAct"); }, false, "", "error"},
        {"escritura fallida", [&] { fs::remove_all(fs::u8path(carpetaDB_)); }, false, "", "error"},
        {"digesto distinto", [&] { Publicar("1.0.70", bytes, Cifrado(Md5(bytes + "!"))); }, false,
         noVerificado, "digesto distinto"},
        {"digesto vacío", [&] { Publicar("1.0.70", bytes, ""); }, true, "", "sin digesto"},
        {"digesto nulo", [&] { Publicar("1.0.70", bytes, std::nullopt); }, true, "", "sin digesto"},
        {"digesto indescifrable", [&] { Publicar("1.0.70", bytes, Md5(bytes)); }, true, "", "sin digesto"},
        // A key configured: no Firma column, then a signature of other bytes.
        {"sin firma", [&] { entorno_.clave = otraPublica; }, false, noVerificado, "firma no valida"},
        {"firma de otros bytes",
         [&] {
             entorno_.clave = otraPublica;
             Firmar(bytes.substr(0, bytes.size() - 1), privada);
         },
         false, noVerificado, "firma no valida"},
        // A registry that cannot tell whether a key is configured: nothing is written.
        {"clave ilegible", [&] { entorno_.claveIlegible = true; }, false, noVerificado, "firma no valida"},
        {"firma de otra versión",
         [&] {
             entorno_.clave = otraPublica;
             Firmar(bytes, privada, "1.0.71");
         },
         false, noVerificado, "firma no valida"},
    };
    std::set<std::string> motivos;
    for (bool actualizador : {true, false}) {
        for (const auto& caso : casos) {
            SCOPED_TRACE(std::string(caso.nombre) + (actualizador ? " (actualizador)" : " (interactivo)"));
            c_.Close();
            TearDown();
            SetUp();
            Publicar("1.0.70", bytes, Cifrado(Md5(bytes)));
            caso.preparar();
            mensajes_.mostrados.clear();
            prueba::EventosFalsos eventos;
            EXPECT_EQ(Preparar(actualizador), Preparado());
            // Each failure's own reason reaches the system's log once.
            ASSERT_EQ(eventos.vistos.size(), 1u);
            EXPECT_EQ(std::tie(eventos.vistos[0].Origen, eventos.vistos[0].Tipo),
                      std::make_tuple(Producto(), 1));
            motivos.insert(eventos.vistos[0].Mensaje);
            EXPECT_FALSE(PaqueteActual().Sellado().Abierto());
            EXPECT_TRUE(entorno_.iniciados.empty());
            EXPECT_EQ(entorno_.marcadas, 0);
            EXPECT_EQ(fs::exists(fs::u8path(paquete_)), caso.quedaArchivo);
            EXPECT_EQ(PaqueteActual().Resultado, caso.resultado);
            entorno_.clave.clear();
            entorno_.claveIlegible = false;
            const bool aviso = !actualizador && *caso.mensaje;
            // Interactive mode's question comes first.
            ASSERT_EQ(mensajes_.Cantidad(), (actualizador ? 0u : 1u) + aviso);
            if (aviso) {
                EXPECT_EQ(mensajes_.Ultimo().texto.rfind(caso.mensaje, 0), 0u) << mensajes_.Ultimo().texto;
            }
        }
    }
    EXPECT_EQ(motivos.size(), 7u); // the three unusable digests share theirs, the three bad signatures too
}

// Two rows for the product (the table need not have a key): the check saw
// 1.0.70, then a 1.0.60 row came first. The package, its digest and its
// signature are the compared row's; the older package moved under 1.0.70 with
// its own signature does not pass.
TEST_F(UpdateEngineTest, PaqueteDeLaVersionComparada) {
    const std::string nuevo = "#!/bin/sh\necho 1.0.70\n", viejo = "#!/bin/sh\necho 1.0.60\n";
    std::string privada;
    ASSERT_TRUE(platform::FirmaEd25519::GenerarClaves(privada, entorno_.clave));
    Publicar("1.0.70", nuevo, Cifrado(Md5(nuevo)));
    Firmar(nuevo, privada);
    EXPECT_EQ(Actualizar(true, 1, 0, 66), Salida(false, true, 0, "error"));
    c_.Execute("INSERT INTO BinariosAct (rowid, Producto, Major, Minor, Revision, MD5Hash, Firma, Binario) "
               "VALUES (-1, '" + Producto() + "', 1, 0, 60, '" + Cifrado(Md5(viejo)) + "', '" +
               FirmaDe(viejo, privada, "1.0.60") + "', X'" + BytesAHex(viejo.data(), viejo.size()) + "')");
    EXPECT_EQ(Preparar(true), Preparado(paquete_, kParametrosActualizador));
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), nuevo);
    c_.Execute("DELETE FROM BinariosAct WHERE Revision = 70");
    c_.Execute("UPDATE BinariosAct SET Revision = 70");
    EXPECT_EQ(Preparar(true), Preparado());
    EXPECT_EQ(PaqueteActual().Resultado, "firma no valida");
}

// The pieces of the compared version and of the row's current digest, in
// order, whatever Binario holds; a long, short or missing piece is a failed
// preparation that leaves nothing. Pieces of another digest (the family's
// tools replaced Binario and MD5Hash) or of a product equal only by the
// server's collation are never used; a piece stored as text counts its bytes.
TEST_F(UpdateEngineTest, TrozosDeLaVersionYElDigestoDeLaFila) {
    std::string bytes((1u << 20) + 7, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    const std::string hash = Cifrado(Md5(bytes));
    Publicar("1.0.70", "Binario de otra publicación", hash);
    c_.Execute("CREATE TABLE BinariosActTrozos (Producto TEXT COLLATE NOCASE, Major INT, Minor INT, Revision INT, "
               "Trozo INT, MD5Hash TEXT, Datos BLOB)");
    auto trozo = [&](const std::string& producto, int revision, int n, const std::string& datos,
                     const char* tipo = "BLOB") {
        c_.Execute("INSERT INTO BinariosActTrozos VALUES ('" + producto + "', 1, 0, " + std::to_string(revision) +
                   ", " + std::to_string(n) + ", '" + hash + "', CAST(X'" + BytesAHex(datos.data(), datos.size()) +
                   "' AS " + tipo + "))");
    };
    trozo(UCase(Producto()), 70, 0, "de otro producto");
    trozo(Producto(), 60, 0, "de 1.0.60");
    trozo(Producto(), 70, 1, bytes.substr(1u << 20), "TEXT"); // its first byte is a NUL
    trozo(Producto(), 70, 0, bytes.substr(0, 1u << 20));
    EXPECT_EQ(Preparar(true), Preparado(paquete_, kParametrosActualizador));
    EXPECT_TRUE(prueba::LeerArchivo(fs::u8path(paquete_)) == bytes);
    for (const char* sql : {"UPDATE BinariosActTrozos SET Datos = zeroblob(1048577) WHERE Trozo = 0 AND Revision = 70",
                            "UPDATE BinariosActTrozos SET Datos = X'00' WHERE Trozo = 0 AND Revision = 70",
                            "DELETE FROM BinariosActTrozos WHERE Trozo = 0 AND Producto = 'Olvado'"}) {
        c_.Execute(sql);
        PaqueteActual().Sellado().Cerrar(); // let go, and gone: else it is the package, staged
        fs::remove(fs::u8path(paquete_));
        prueba::EventosFalsos eventos;
        EXPECT_EQ(Preparar(true), Preparado());
        EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
        ASSERT_EQ(eventos.vistos.size(), 1u);
        EXPECT_NE(eventos.vistos[0].Mensaje.find("el trozo 0 de "), std::string::npos) << eventos.vistos[0].Mensaje;
    }
    const std::string nuevo = "Binario nuevo del mismo 1.0.70";
    c_.Execute("UPDATE BinariosAct SET Binario = X'" + BytesAHex(nuevo.data(), nuevo.size()) + "', MD5Hash = '" +
               Cifrado(Md5(nuevo)) + "'");
    EXPECT_EQ(Preparar(true), Preparado(paquete_, kParametrosActualizador));
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), nuevo);
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
    Publicar("1.0.70", "#!/bin/sh\n", Cifrado(Md5("#!/bin/sh\n")));
    prueba::EscribirArchivo(fs::u8path(paquete_), "anterior");
    platform::ArchivoNativo ocupado;
    ASSERT_TRUE(ocupado.Abrir(paquete_, platform::ArchivoNativo::Modo::LeerEscribir));
    EXPECT_EQ(Preparar(true), Preparado());
    EXPECT_EQ(mensajes_.Cantidad(), 0u);
    Preparar(false);
    ASSERT_EQ(mensajes_.Cantidad(), 2u);
    EXPECT_EQ(Caja(), std::make_tuple("No se puede preparar el archivo de instalación, favor "
                                      "elimine manualmente este archivo e intente de nuevo: "
                                      "\r\n\r\n" +
                                          paquete_,
                                      platform::vbExclamation, Producto()));
    ocupado.Cerrar();
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), "anterior");
    EXPECT_TRUE(entorno_.iniciados.empty());
}

} // namespace
} // namespace olvado
