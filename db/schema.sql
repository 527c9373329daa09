-- Schema of cavi.mdb: eight tables, columns in their physical order (inserts without a column
-- list and whole-row exports depend on it), keys declared as primary keys.
-- Column names are compared without regard to case, as every engine statement assumes.

CREATE TABLE C_TablaMortalidad (
    Tabla_Mortalidad INTEGER NOT NULL,
    Descripcion      TEXT,
    Edad_Inicial     INTEGER,
    Edad_Final       INTEGER,
    PRIMARY KEY (Tabla_Mortalidad)
);

CREATE TABLE T_DetalleMortalidad (
    Tabla_Mortalidad INTEGER NOT NULL,
    Edad             INTEGER NOT NULL,
    qx               REAL,
    PRIMARY KEY (Tabla_Mortalidad, Edad)
);

CREATE TABLE T_Conmutado (
    Tabla_Mortalidad INTEGER NOT NULL,
    Edad             INTEGER NOT NULL,
    Interes_Tecnico  REAL NOT NULL,
    Cx               REAL,
    Dx               REAL,
    Mx               REAL,
    Nx               REAL,
    Rx               REAL,
    Sx               REAL,
    px               REAL,
    lx               REAL,
    dex              REAL,
    PRIMARY KEY (Tabla_Mortalidad, Interes_Tecnico, Edad)
);

CREATE TABLE T_Escenario (
    Escenario        INTEGER NOT NULL,
    Edad             INTEGER,
    Suma_Asegurada   REAL,
    Tipo_Seguro      INTEGER,
    Tipo_Comision    INTEGER,
    Interes_Tecnico  REAL,
    Tabla_Mortalidad INTEGER,
    Plazo_Seguro     INTEGER,
    Plazo_Pago       INTEGER,
    Descripcion      TEXT,
    Total_Anios      INTEGER,
    PRIMARY KEY (Escenario)
);

CREATE TABLE T_Comision (
    Escenario        INTEGER NOT NULL,
    Anio_Comision    INTEGER NOT NULL,
    Porcentaje_Prima REAL,
    Tantos_Suma      INTEGER,
    PRIMARY KEY (Escenario, Anio_Comision)
);

CREATE TABLE T_Resultado (
    Escenario           INTEGER NOT NULL,
    Anio_Poliza         INTEGER NOT NULL,
    Edad_Alcanzada      REAL,
    Prima_Riesgo        REAL,
    Prima_Neta_Nivelada REAL,
    Prima_Tarifa        REAL,
    Anualidad           REAL,
    Seguro              REAL,
    Reserva_Matematica  REAL,
    Rescate             REAL,
    Saldado             REAL,
    Prorrogado          REAL,
    PRIMARY KEY (Escenario, Anio_Poliza)
);

CREATE TABLE C_TipoSeguro (
    Tipo_Seguro INTEGER NOT NULL,
    Descripcion TEXT,
    PRIMARY KEY (Tipo_Seguro)
);

CREATE TABLE C_TipoComision (
    Tipo_Comision INTEGER NOT NULL,
    Descripcion   TEXT,
    PRIMARY KEY (Tipo_Comision)
);

-- Fixed catalogues: the engine gives the insurance codes their meaning (1 term, 2 whole life,
-- 3 endowment, 4 pure endowment); of the commission codes only "is it 1" matters.
INSERT INTO C_TipoSeguro VALUES (1, 'Temporal');
INSERT INTO C_TipoSeguro VALUES (2, 'Vida Entera');
INSERT INTO C_TipoSeguro VALUES (3, 'Dotal Mixto');
INSERT INTO C_TipoSeguro VALUES (4, 'Dotal Puro');

INSERT INTO C_TipoComision VALUES (1, 'Comisión primer año');
INSERT INTO C_TipoComision VALUES (2, 'Comisión varios años');
