// What the engine and end-to-end tests set up around an update: the update
// tables of an engine, the product's package row, the installed main program,
// one run of the built updater read back from its run log, and one of the
// built olvado-admin.
#pragma once

#include "support/ArbolPrueba.h"
#include "support/MotoresPrueba.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace olvado::prueba {

using Variables = std::vector<std::pair<std::string, std::string>>;

// The built updater is the Windows one (this runner runs under Wine).
bool ActualizadorWindows();
// SQLite (native where the build has it, else through ODBC) and MariaDB.
std::vector<MotorPrueba> MotoresActualizacion();

void EjecutarSql(const std::string& cadena, const std::string& sql);
// The rows of a query as text: fields joined by "|", each row ended by "\n".
std::string Filas(const std::string& cadena, const std::string& sql);
// Valores, and with paquetes BinariosAct too, dropped and created empty.
void CrearTablas(const MotorPrueba& motor, bool paquetes = true);
// The product's only row of version "M.m.r", written through a recordset as
// the tool writes it; no digest stores Null.
void PublicarPaquete(const std::string& cadena, const std::string& version, const std::string& bytes,
                     const std::optional<std::string>& digesto, const std::string& producto = "Olvado");
// The MD5 of the bytes as they are (not as a text in the code page).
std::string Md5(const std::string& bytes);
std::string Md5Cifrado(const std::string& bytes);

// The installed main program: a PE file of `version`.
void InstalarPrograma(const std::string& version);
// Where the package is written, with its closing separator.
std::string CarpetaPaquete();
// Removes the program folder and the package folder (under Wine they are the
// prefix's own and outlive the tree).
void QuitarInstalacion();

struct CorridaActualizador {
    std::vector<std::string> antes; // in front of the program: a wrapper
    std::string programa = OLVADO_UPDATER_BIN;
    Variables entorno;              // beyond the tree's
    std::string errores;            // its standard error goes to this file
    std::function<void()> mientras; // runs while it does
    std::vector<std::string> argumentos; // after the program
    int codigo = 0;                 // the exit code it must end with
};
std::string RutaLogActualizador();
// Runs the program in the tree to its end (exit code codigo) and answers the texts
// of its run log's entries (UTF-8); the log is removed first.
std::vector<std::string> EjecutarActualizador(const ArbolPrueba& arbol,
                                              const CorridaActualizador& corrida = {});
// A package made of this test binary: it runs only the current test, in the
// role "instalador", where ActuarComoInstalador waits a moment, writes
// "args=" and its arguments to `salida` and ends.
Variables EntornoInstalador(const std::string& salida);
[[noreturn]] void ActuarComoInstalador();
bool Tiene(const std::vector<std::string>& textos, const std::string& linea);

struct ResultadoAdmin {
    int32_t codigo = -1;
    std::string salida, error; // UTF-8 with "\n" line ends
};
// The built olvado-admin as a separate program in the tree.
ResultadoAdmin EjecutarAdmin(const ArbolPrueba& arbol, const std::vector<std::string>& argumentos);

} // namespace olvado::prueba
