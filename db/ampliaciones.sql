-- Tables of the features added after the first eight: each keeps its data in tables of its own,
-- so the eight never change shape. crear-bd creates them; opening a database that lacks one
-- creates it, in one transaction, which is the only change opening ever makes.

-- The surrender terms of a scenario: its charge in percent of the reserve and the first policy
-- year it may be surrendered in. A scenario without a row has a charge of 0 from year 2.
CREATE TABLE T_Garantia (
    Escenario            INTEGER NOT NULL,
    Penalizacion_Rescate REAL,
    Anio_Rescate         INTEGER,
    PRIMARY KEY (Escenario)
);

-- Realistic assumptions for the best estimate of a portfolio: mortality as a percent of a stored
-- table, a yearly expense per policy (money), an expense in percent of each premium, and the
-- expenses' inflation in percent a year.
CREATE TABLE T_Hipotesis (
    Hipotesis             INTEGER NOT NULL,
    Descripcion           TEXT,
    Tabla_Mortalidad      INTEGER,
    Porcentaje_Mortalidad REAL,
    Gasto_Poliza          REAL,
    Porcentaje_Gasto_Prima REAL,
    Inflacion_Gastos      REAL,
    PRIMARY KEY (Hipotesis)
);

-- The lapse rate in percent of policy year Anio_Poliza; a year without a row takes the nearest
-- earlier row's rate, 0 before the first.
CREATE TABLE T_Caida (
    Hipotesis   INTEGER NOT NULL,
    Anio_Poliza INTEGER NOT NULL,
    Tasa        REAL,
    PRIMARY KEY (Hipotesis, Anio_Poliza)
);

-- Yield curves: spot rates in percent, annual compounding, for whole maturities 1, 2, ...
CREATE TABLE C_Curva (
    Curva       INTEGER NOT NULL,
    Descripcion TEXT,
    Fecha       TEXT,
    PRIMARY KEY (Curva)
);

CREATE TABLE T_Curva (
    Curva INTEGER NOT NULL,
    Plazo INTEGER NOT NULL,
    Tipo  REAL,
    PRIMARY KEY (Curva, Plazo)
);
