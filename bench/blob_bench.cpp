// The BLOB transfer of the database object as one process, for bench/blob.sh
// to time against the engines' own command-line tools:
//   olvado_blob_bench --importar CADENA ARCHIVO   (re)creates table Paquetes with the file as row 1
//   olvado_blob_bench --exportar CADENA ARCHIVO   BLOB_a_Archivo of row 1 into ARCHIVO
#include "database/ado/Proveedor.h"
#include "database/clsDB.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

class Origen : public olvado::IOrigenConexion {
public:
    explicit Origen(std::string cadena) : cadena_(std::move(cadena)) {}
    bool ObtenerDatosConexion(std::string& Nombre, std::string& CadenaConexion, std::string& Catalogo,
                              bool& Optimizar) override {
        Nombre = "bench", CadenaConexion = cadena_, Optimizar = true;
        // The catalog that the connection opens in, so that no switch is needed.
        for (const auto& [clave, valor] : olvado::ado::PartesCadena(cadena_))
            if (clave == "Database")
                Catalogo = valor;
        return true;
    }

private:
    std::string cadena_;
};

int Importar(olvado::clsDB& db, const std::string& archivo) {
    bool mysql = db.SintaxisSQL() == 2;
    db.EjecutarSQL("DROP TABLE IF EXISTS Paquetes");
    if (!db.EjecutarSQL(std::string("CREATE TABLE Paquetes (id INT PRIMARY KEY, Binario ") +
                        (mysql ? "LONGBLOB" : "BLOB") + ")"))
        return 1;
    std::unique_ptr<olvado::ado::Recordset> rs;
    if (!db.AbrirRs(rs, "SELECT TOP 1 * FROM Paquetes", 3, 3, -1, true))
        return 1;
    rs->AddNew();
    rs->Fields("id").SetValue(olvado::ado::Valor(1));
    if (!db.Archivo_A_BLOB(rs->Fields("Binario"), archivo))
        return 1;
    rs->Update();
    return 0;
}

int Exportar(olvado::clsDB& db, std::string archivo) {
    std::filesystem::remove(archivo);
    std::unique_ptr<olvado::ado::Recordset> rs;
    if (!db.AbrirRs(rs, "SELECT * FROM Paquetes WHERE id=1", 3, 3, -1, true))
        return 1;
    return db.BLOB_a_Archivo(rs->Fields("Binario"), archivo) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "uso: %s --importar|--exportar CADENA ARCHIVO\n", argv[0]);
        return 2;
    }
    Origen origen(argv[2]);
    olvado::clsDB db(nullptr, &origen);
    if (!db.AbrirDB(false, false)) {
        std::fprintf(stderr, "no se pudo abrir %s\n", argv[2]);
        return 1;
    }
    try {
        return std::strcmp(argv[1], "--importar") == 0 ? Importar(db, argv[3]) : Exportar(db, argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
