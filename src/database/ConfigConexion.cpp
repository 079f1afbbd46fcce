#include "database/ConfigConexion.h"

#include "BuildInfo.h"
#include "common/FileTool.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "database/frmSeleccionarConexion.h"
#include "platform/SistemaArchivos.h"
#include "platform/XmlDocument.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace olvado {
namespace {

std::string Atributo(const std::string& valor) {
    std::string s;
    for (char c : valor) {
        switch (c) {
        case '&': s += "&amp;"; break;
        case '<': s += "&lt;"; break;
        case '>': s += "&gt;"; break;
        case '"': s += "&quot;"; break;
        default: s += c;
        }
    }
    return s;
}

bool LeerTodo(const std::string& ruta, std::string& contenido) {
    std::ifstream f(std::filesystem::u8path(ruta), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    contenido = s.str();
    return static_cast<bool>(f);
}

} // namespace

bool ConfigConexion::ObtenerDatosConexion(std::string& Nombre, std::string& CadenaConexion, std::string& Catalogo,
                                          bool& OptimizarConexionRemota) {
    compania_ = ObtenerIdentidadPrograma().Compania;
    producto_ = build::Producto;
    palabraCompania_ = build::PalabraRegistro;
    CargarConexiones();
    int32_t indice = 0;
    return SeleccionarConexion(Nombre, CadenaConexion, Catalogo, OptimizarConexionRemota, false, -1, indice);
}

bool ConfigConexion::CargarConexiones() {
    conexiones_.assign(1, DatosConexion{});
    numeroConexiones_ = 0;
    platform::XmlDocument documento;
    FileTool ft;
    if (compania_.empty() || producto_.empty())
        return false;
    std::string compania = compania_, producto = producto_, db = "DB";
    std::string datos = ft.Ruta_ArchivoDeDatos(0, true, compania, producto);
    std::string segunda = datos;
    if (!palabraCompania_.empty()) {
        std::string c2 = compania_;
        segunda = ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true, c2, db) + palabraCompania_);
    }
    bool cargado = documento.Load(datos + "Conexiones.dat");
    if (!cargado && !palabraCompania_.empty())
        cargado = documento.Load(segunda + "Conexiones.dat");
    if (cargado)
        for (int32_t i = 1; i <= kMaximoConexiones && CargarConexion(documento, i); ++i) {
        }
    return false;
}

bool ConfigConexion::CargarConexion(const platform::XmlDocument& documento, int32_t Indice) {
    const std::string buscado = std::to_string(Indice);
    // Children of the root that are not elements with an "id" are skipped.
    for (const platform::NodoXml& nodo : documento.HijosDeNodoSuperior(1)) {
        const std::string* id = nodo.Elemento ? nodo.Atributo("id") : nullptr;
        if (!id || *id != buscado)
            continue;
        conexiones_.resize(static_cast<size_t>(Indice) + 1);
        numeroConexiones_ = Indice;
        DatosConexion& d = conexiones_[static_cast<size_t>(Indice)];
        auto texto = [&nodo](const char* nombre) {
            const std::string* v = nodo.Atributo(nombre);
            return v ? *v : std::string();
        };
        clsEncriptor cifrado;
        bool exito = true;
        d.Nombre = texto("Nombre");
        d.CadenaConexionCifrada = texto("CadenaConexion");
        d.CadenaConexion = cifrado.Decrypt(d.CadenaConexionCifrada, exito);
        d.CatalogoCifrado = texto("Catalogo");
        d.Catalogo = cifrado.Decrypt(d.CatalogoCifrado, exito);
        const std::string* optimizar = nodo.Atributo("OptimizarConexionRemota");
        d.OptimizarConexionRemota = optimizar && *optimizar == "1";
        d.Valida = !d.CadenaConexion.empty();
        return true;
    }
    return false;
}

bool ConfigConexion::SeleccionarConexion(std::string& Nombre, std::string& CadenaConexion, std::string& Catalogo,
                                         bool& OptimizarConexionRemota, bool NoMostrarLista, int32_t IndicePreferido,
                                         int32_t& Indice) {
    if (numeroConexiones_ == 0)
        return false;
    int32_t elegida = 1;
    if (numeroConexiones_ > 1 && !NoMostrarLista)
        elegida = ElegirConexionDeLista(IndicePreferido);
    if (elegida < 1 || elegida > numeroConexiones_)
        return false;
    const DatosConexion& d = conexiones_[static_cast<size_t>(elegida)];
    Nombre = d.Nombre;
    CadenaConexion = d.CadenaConexion;
    Catalogo = d.Catalogo;
    OptimizarConexionRemota = d.OptimizarConexionRemota;
    Indice = elegida;
    return true;
}

int32_t ConfigConexion::ElegirConexionDeLista(int32_t IndicePreferido) {
    frmSeleccionarConexion ventana([this](ListaEnMemoria& lista) { LlenarListaConexiones(lista); });
    bool hallada = false;
    if (IndicePreferido >= 1)
        for (int32_t i = 0; i < ventana.liConexiones.ListCount() && !hallada; ++i)
            if (ventana.liConexiones.ItemData(i) == IndicePreferido) {
                ventana.liConexiones.SetListIndex(i);
                hallada = true;
            }
    if (!hallada)
        ventana.Show();
    int32_t i = ventana.liConexiones.ListIndex();
    return i < 0 ? 0 : ventana.liConexiones.ItemData(i);
}

void ConfigConexion::LlenarListaConexiones(IControlLista& lista) const {
    lista.Clear();
    for (size_t i = 1; i < conexiones_.size(); ++i) {
        lista.AddItem(conexiones_[i].Nombre);
        lista.SetItemData(lista.NewIndex(), static_cast<int32_t>(i));
    }
    if (lista.ListCount() > 0)
        lista.SetListIndex(0);
}

std::string ConfigConexion::CarpetaAlmacen() {
    std::string compania = ObtenerIdentidadPrograma().Compania, producto(build::Producto);
    return FileTool().Ruta_ArchivoDeDatos(0, true, compania, producto);
}

std::string ConfigConexion::RutaAlmacen() { return CarpetaAlmacen() + "Conexiones.dat"; }

int32_t ConfigConexion::AgregarConexion(const DatosConexion& entrada, std::string& error) {
    const std::string ruta = RutaAlmacen();
    std::string contenido;
    int32_t entradas = 0;
    if (FileTool().FileExist(ruta)) {
        platform::XmlDocument documento;
        if (!documento.Load(ruta) || !LeerTodo(ruta, contenido)) {
            error = "el almacén no es un XML legible: " + ruta;
            return 0;
        }
        ConfigConexion almacen;
        while (entradas < kMaximoConexiones && almacen.CargarConexion(documento, entradas + 1))
            ++entradas;
    } else {
        contenido = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Conexiones>\r\n</Conexiones>\r\n";
    }
    if (entradas >= kMaximoConexiones) {
        error = "el almacén ya tiene " + std::to_string(kMaximoConexiones) +
                " conexiones, el máximo que se lee: " + ruta;
        return 0;
    }

    clsEncriptor cifrado;
    const int32_t id = entradas + 1;
    std::string nodo = "  <Conexion id=\"" + std::to_string(id) + "\" Nombre=\"" + Atributo(entrada.Nombre) +
                       "\" CadenaConexion=\"" + cifrado.Encrypt(entrada.CadenaConexion) + "\"";
    if (!entrada.Catalogo.empty())
        nodo += " Catalogo=\"" + cifrado.Encrypt(entrada.Catalogo) + "\"";
    nodo += std::string(" OptimizarConexionRemota=\"") + (entrada.OptimizarConexionRemota ? "1" : "0") + "\"/>\r\n";
    // The new entry goes before the root's closing tag.
    const size_t cierre = contenido.rfind("</");
    if (cierre == std::string::npos) {
        error = "el almacén no tiene dónde añadir la entrada (raíz sin etiqueta de cierre): " + ruta;
        return 0;
    }
    contenido.insert(cierre, nodo);

    // The store's owner chooses every workstation's database: whatever the
    // umask, nobody else may write it (0644 new; a replaced one keeps its mode
    // less the others' write rights).
    int32_t codigo = 0;
    if (!platform::ReemplazarArchivo(ruta, contenido, codigo)) {
        error = "no se pudo escribir " + ruta + " (error " + std::to_string(codigo) + ")";
        return 0;
    }
    return id;
}

} // namespace olvado
