// clsDB: stored variables, identity, BLOB transfer, the error report and the
// control binders.
#include "database/clsDB.h"
#include "platform/ArchivoNativo.h"

#include "base/Texto.h"
#include "common/FileTool.h"
#include "common/Formato.h"
#include "common/IdentidadPrograma.h"
#include "database/ado/Stream.h"
#include "platform/ConfiguracionRegional.h"
#include "platform/ErroresSistema.h"
#include "platform/SistemaArchivos.h"
#include "platform/Shell.h"

#include <cstdio>

namespace olvado {

using ado::Recordset;

namespace {

// A number box's text: its format (DataField) applied as the common
// utilities apply a mask, with the user's regional separators; without a
// format, the general number with the regional decimal separator.
std::string TextoCajaNumero(double valor, const std::string& formato) {
    const platform::ConfiguracionRegional regional = platform::LeerConfiguracionRegional();
    if (!formato.empty())
        return FormatoNumero(valor, formato, regional);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", valor);
    std::string t = buf;
    size_t punto = t.find('.');
    return punto == std::string::npos ? t : t.replace(punto, 1, regional.SeparadorDecimal);
}

} // namespace

bool clsDB::Get_Variable(const std::string& ID, int32_t& Tipo, std::string& ValorTexto, int32_t& ValorLargo) {
    std::unique_ptr<Recordset> rs;
    int32_t n = -1;
    if (!AbrirRs(rs, "SELECT * FROM Valores WHERE idVariable=" + sql_.Strg(ID, true) + ";", ado::adOpenStatic,
                 ado::adLockOptimistic, -1, true, n))
        return false;
    if (rs->Eof()) {
        rs->Close();
        return false;
    }
    // A Null in Tipo or ValorLargo raises the conversion error to the caller.
    Tipo = static_cast<int32_t>(rs->Fields("Tipo").Value().AEntero());
    ValorTexto = rs->Fields("ValorTexto").Value().ATexto();
    ValorLargo = static_cast<int32_t>(rs->Fields("ValorLargo").Value().AEntero());
    rs->Close();
    return true;
}

bool clsDB::Set_Variable(const std::string& ID, int32_t Tipo, const std::string& ValorTexto, int32_t ValorLargo) {
    if (!EjecutarSQL("DELETE FROM Valores WHERE idVariable = " + sql_.Strg(ID, true), nullptr, 0, true))
        return false;
    std::unique_ptr<Recordset> rs;
    int32_t n = -1;
    if (!AbrirRs(rs, sql_.LimitarRegistrosSQL(1, "SELECT * FROM Valores"), ado::adOpenStatic, ado::adLockOptimistic,
                 -1, true, n))
        return false;
    try {
        rs->AddNew();
        rs->Fields("idVariable").SetValue(ado::Valor(ID));
        rs->Fields("Tipo").SetValue(ado::Valor(Tipo));
        if (!ValorTexto.empty())
            rs->Fields("ValorTexto").SetValue(ado::Valor(ValorTexto));
        rs->Fields("ValorLargo").SetValue(ado::Valor(ValorLargo));
        rs->Update();
        rs->Close();
        return true;
    } catch (const ErrorOlvado& e) {
        Mostrar(e.Numero(), "Error");
        return false;
    }
}

int32_t clsDB::LastInsertID(Recordset& Rs, const std::string& CampoClave) {
    if (sintaxis_ == 0 || sintaxis_ == 1)
        return static_cast<int32_t>(Rs.Fields(CampoClave).Value().AEntero());
    std::unique_ptr<Recordset> rs;
    int32_t n = -1;
    if (!AbrirRs(rs, "SELECT @@IDENTITY as LastID;", ado::adOpenStatic, ado::adLockOptimistic, -1, true, n))
        return 0;
    auto id = static_cast<int32_t>(rs->Fields("LastID").Value().AEntero());
    rs->Close();
    return id;
}

bool clsDB::BLOB_a_Archivo(ado::Field& Campo) {
    std::string nombre;
    return BLOB_a_Archivo(Campo, nombre);
}

bool clsDB::BLOB_a_Archivo(ado::Field& Campo, std::string& NombreArchivo) {
    if (NombreArchivo.empty()) {
        FileTool ft;
        if (!ft.NombreNuevoArchivoTemporal(NombreArchivo))
            return false;
    }
    // A new file is made exclusively; an existing one is written from position
    // 0 over what it held. Neither goes through a link, into a FIFO or a device.
    platform::ArchivoNativo f;
    const bool nuevo = f.Abrir(NombreArchivo, platform::ArchivoNativo::Modo::CrearNuevo);
    if (!nuevo && (f.UltimoError() != platform::kErrorArchivoExiste ||
                   !f.Abrir(NombreArchivo, platform::ArchivoNativo::Modo::EscribirDesdeInicio)))
        throw ErrorOlvado(75, "clsDB", "Error de acceso a la ruta o el archivo: " + NombreArchivo);
    bool escrito = true;
    try {
        const int64_t tamano = Campo.ActualSize();
        for (int64_t desde = 0; escrito && desde < tamano; desde += 8192) {
            std::vector<uint8_t> trozo = Campo.GetChunk(8192);
            escrito = f.Escribir(std::string_view(reinterpret_cast<const char*>(trozo.data()), trozo.size()));
        }
        escrito = f.Cerrar() && escrito;
    } catch (...) {
        // A server lost halfway leaves no partial file of ours behind.
        f.Cerrar();
        if (nuevo)
            platform::BorrarArchivo(NombreArchivo);
        throw;
    }
    if (!escrito) {
        if (nuevo)
            platform::BorrarArchivo(NombreArchivo);
        throw ErrorOlvado(61, "clsDB", "Disco lleno: " + NombreArchivo);
    }
    return true;
}

bool clsDB::Archivo_A_BLOB(ado::Field& Campo, const std::string& NombreArchivo) {
    try {
        // The field takes the file itself: the engine streams its bytes when
        // the row is written, so no copy of a package is held in memory.
        platform::ArchivoNativo archivo;
        const int64_t tamano = archivo.Abrir(NombreArchivo, platform::ArchivoNativo::Modo::Leer) ? archivo.Tamano() : -1;
        if (tamano < 0)
            throw ErrorOlvado(static_cast<int32_t>(0x800A0BBAu), "ADODB.Stream", "No se puede abrir el archivo.");
        Campo.SetValue(ado::Valor::DesdeArchivo(NombreArchivo, tamano));
        return true;
    } catch (const ErrorOlvado& e) {
        Mostrar(e.Numero(), "Error");
        return false;
    }
}

void clsDB::MostrarErroresDB(intptr_t vHWND) {
    if (!CNX || CNX->Errors().Count() == 0)
        return;
    std::string texto;
    const std::string crlf(vbCrLf);
    for (int32_t i = 0; i < CNX->Errors().Count(); ++i) {
        const auto& e = CNX->Errors()(i);
        texto += e.Source + ":" + crlf + e.Description + crlf + "Estado SQL: " + e.SQLState + crlf + crlf;
    }
    if (texto.empty())
        return;
    FileTool ft;
    std::string ruta = ft.Ruta_CalificarRuta(ft.RutaTemporal()) + ObtenerIdentidadPrograma().Producto + "_Errores_DB.txt";
    bool agregar = false;
    if (ft.Archivo_EscribirString(texto, ruta, true, false, agregar, 409600, false))
        platform::EjecutarConShell({"Open", ruta, "", static_cast<int32_t>(vHWND), platform::SW_SHOWNORMAL_});
}

bool clsDB::LlenarComboBox_ListBox(const std::string& vOrigen, IControlLista& c, const std::string& Clave,
                                   bool UsarItemData, const std::string& CampoItemData, bool LimpiarLista,
                                   bool PosicionarInicial, int32_t LimiteListadoLlenar,
                                   bool NoLlenarSiTraspasaLimite) {
    std::unique_ptr<Recordset> rs;
    int32_t n = 0;
    if (!AbrirRs(rs, vOrigen, ado::adOpenStatic, ado::adLockOptimistic, -1, true, n))
        return false;
    if (NoLlenarSiTraspasaLimite && LimiteListadoLlenar > 0 && n > LimiteListadoLlenar)
        return false;
    std::vector<std::vector<ado::Valor>> m;
    std::vector<std::string> campos{Clave};
    if (UsarItemData)
        campos.push_back(CampoItemData);
    try {
        vGetRows(*rs, m, campos, n);
    } catch (const ErrorOlvado& e) {
        Mostrar(e.Numero(), "Error");
        return false;
    }
    if (LimpiarLista)
        c.Clear();
    for (size_t i = 0; i < m[0].size(); ++i) {
        if (LimiteListadoLlenar > 0 && static_cast<int32_t>(i) >= LimiteListadoLlenar)
            break;
        c.AddItem(m[0][i].ATexto());
        if (UsarItemData)
            c.SetItemData(c.NewIndex(), m[1][i].EsNulo() ? 0 : static_cast<int32_t>(m[1][i].AEntero()));
    }
    if (PosicionarInicial && c.ListCount() > 0)
        c.SetListIndex(0);
    return true;
}

void clsDB::EnlazarCampo_TextBox(IControlTexto& T, ado::Field& F, bool EnBlanco) {
    switch (F.Type()) {
    case 129: case 200: case 201: case 202: case 203:
        T.SetMaxLength(static_cast<int32_t>(F.DefinedSize()));
        break;
    default:
        break;
    }
    T.SetText(EnBlanco ? std::string() : F.Value().ATexto());
}

void clsDB::EnlazarCampo_TextBox_Numero(IControlTexto& T, ado::Field& F, bool EnBlanco, int32_t ValorSiEsNulo) {
    const std::string formato = T.DataField();
    if (EnBlanco) {
        T.SetText(TextoCajaNumero(0, formato));
        return;
    }
    ado::Valor v = F.Value();
    T.SetText(TextoCajaNumero(v.EsNulo() ? ValorSiEsNulo : v.ADoble(), formato));
}

} // namespace olvado
