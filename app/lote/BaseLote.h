#pragma once

#include "core/Entorno.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace valvida {

class Dialogos;

//! The scenario number of a command's argument; nothing when the word is not a whole number.
std::optional<std::int32_t> EscenarioArgumento(const QString& palabra);

/*!
 * The database a command works on: opened on construction under a connection of its own (ErrorVV
 * when the file is missing or not a database of this system), closed and removed on destruction.
 */
class BaseLote
{
  public:
    BaseLote(const QString& ruta, Dialogos& dialogos);
    ~BaseLote();
    BaseLote(const BaseLote&) = delete;
    BaseLote& operator=(const BaseLote&) = delete;

    Entorno& entorno() { return *m_entorno; }

  private:
    QString m_conexion;
    std::unique_ptr<Entorno> m_entorno;
};

} // namespace valvida
