// A fresh folder tree for one test. It becomes $OLVADO_ROOT, holds a $HOME
// with a Documents folder, a $TMPDIR and a $XDG_RUNTIME_DIR, and clears the
// other XDG variables and $DISPLAY, so that
// every machine-wide and per-user location of the Linux build lands inside it.
// The previous environment comes back and the tree is removed on destruction.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace olvado::prueba {

class ArbolPrueba {
  public:
    ArbolPrueba();
    ~ArbolPrueba();
    ArbolPrueba(const ArbolPrueba&) = delete;
    ArbolPrueba& operator=(const ArbolPrueba&) = delete;

    const std::filesystem::path& Raiz() const { return raiz_; }
    std::filesystem::path Home() const { return raiz_ / "home"; }
    std::filesystem::path Documentos() const { return Home() / "Documents"; }
    std::filesystem::path Temporal() const { return raiz_ / "tmp"; }
    // The variables a child process needs to see the same tree.
    std::vector<std::pair<std::string, std::string>> Entorno() const;

  private:
    std::filesystem::path raiz_;
    std::vector<std::pair<std::string, std::string>> anteriores_;
};

// Reads a whole file as bytes ("" when missing).
std::string LeerArchivo(const std::filesystem::path& ruta);
void EscribirArchivo(const std::filesystem::path& ruta, const std::string& bytes);

// Child processes made of this very test binary: ArgumentosHijo gives the
// command line that runs only `prueba` (Suite.Nombre); the child sees
// OLVADO_TEST_ROL = rol, which RolHijo() answers ("" in the parent).
std::vector<std::string> ArgumentosHijo(const std::string& prueba);
std::string RolHijo();

} // namespace olvado::prueba
