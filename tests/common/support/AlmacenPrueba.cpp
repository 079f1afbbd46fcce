#include "support/AlmacenPrueba.h"

#include "BuildInfo.h"
#include "common/FileTool.h"
#include "common/clsEncriptor.h"

#include <filesystem>
#include <fstream>

namespace olvado::prueba {

AlmacenPrueba::AlmacenPrueba(bool segundaCarpeta) {
    FileTool ft;
    std::string compania(build::Compania), producto = "Olvado", db = "DB";
    std::string carpeta = segundaCarpeta
                              ? ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true, compania, db) +
                                                      std::string(build::PalabraRegistro))
                              : ft.Ruta_ArchivoDeDatos(0, true, compania, producto);
    std::filesystem::create_directories(std::filesystem::u8path(carpeta));
    ruta_ = carpeta + "Conexiones.dat";
}

AlmacenPrueba::AlmacenPrueba(const std::string& ruta) : ruta_(ruta) {
    std::filesystem::create_directories(std::filesystem::u8path(ruta).parent_path());
}

AlmacenPrueba::~AlmacenPrueba() {
    std::error_code ec;
    std::filesystem::remove(std::filesystem::u8path(ruta_), ec);
}

void AlmacenPrueba::EscribirTexto(const std::string& contenido) {
    std::ofstream(std::filesystem::u8path(ruta_), std::ios::binary | std::ios::trunc) << contenido;
}

void AlmacenPrueba::Escribir(const std::vector<EntradaAlmacen>& entradas, const std::string& extraEnLaRaiz) {
    clsEncriptor cifrado;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Conexiones>\n" + extraEnLaRaiz;
    for (const auto& e : entradas) {
        xml += "  <Conexion id=\"" + e.id + "\" Nombre=\"" + e.nombre + "\"";
        if (!e.cadena.empty())
            xml += " CadenaConexion=\"" + cifrado.Encrypt(e.cadena) + "\"";
        if (!e.catalogo.empty())
            xml += " Catalogo=\"" + cifrado.Encrypt(e.catalogo) + "\"";
        xml += " OptimizarConexionRemota=\"" + e.optimizar + "\"/>\n";
    }
    EscribirTexto(xml + "</Conexiones>\n");
}

} // namespace olvado::prueba
