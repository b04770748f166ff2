-- Shared nets, version 1: nets, their check-ins and the log of every change.
--
-- Operators never write a table: every change goes through a function below that runs as
-- the schema's owner, checks the caller's role and the net's state, numbers check-ins and
-- tells the other operators. The program therefore never needs more than its own sign-in.
--
-- Roles: velmora_ncs (net control: shares, closes and owns nets, and may change anything in
-- its own nets, closed or not) and velmora_logger (check-ins, statuses and identifications
-- in open nets only). A net control in another's net acts as a logger there.

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'velmora_owner') THEN
        CREATE ROLE velmora_owner NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'velmora_ncs') THEN
        CREATE ROLE velmora_ncs NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'velmora_logger') THEN
        CREATE ROLE velmora_logger NOLOGIN;
    END IF;
END
$$;

CREATE SCHEMA velmora AUTHORIZATION velmora_owner;
REVOKE ALL ON SCHEMA velmora FROM PUBLIC;
SET ROLE velmora_owner;

CREATE TABLE velmora.schema_version(version integer NOT NULL);
INSERT INTO velmora.schema_version VALUES (1);

CREATE TABLE velmora.nets(
    id bigserial PRIMARY KEY,
    uid uuid NOT NULL UNIQUE,
    name varchar(80) NOT NULL CHECK (btrim(name) <> ''),
    owner name NOT NULL,
    opened_by varchar(16) NOT NULL,
    opened_utc bigint NOT NULL,
    closed_utc bigint
);

CREATE TABLE velmora.checkins(
    uid uuid PRIMARY KEY,
    net_id bigint NOT NULL REFERENCES velmora.nets(id),
    number integer NOT NULL CHECK (number > 0),
    call varchar(16) NOT NULL,
    name varchar(64) NOT NULL,
    city varchar(64) NOT NULL,
    state varchar(32) NOT NULL,
    source varchar(16) NOT NULL,
    utc bigint NOT NULL,
    logged_by varchar(16) NOT NULL,
    by_role name NOT NULL,
    status varchar(16) NOT NULL DEFAULT '',
    deleted boolean NOT NULL DEFAULT false,
    UNIQUE (net_id, number)
);

-- Every change in the order it was made in its net. Changes of one net are made one at a
-- time (each holds its net's row), so a reader that has seen change N has seen every change
-- of that net below N.
CREATE TABLE velmora.changes(
    id bigserial PRIMARY KEY,
    uid uuid NOT NULL UNIQUE,
    net_id bigint NOT NULL REFERENCES velmora.nets(id),
    kind varchar(8) NOT NULL CHECK (kind IN ('add', 'delete', 'restore', 'status', 'ident', 'close')),
    checkin_uid uuid REFERENCES velmora.checkins(uid),
    utc bigint NOT NULL,
    operator varchar(16) NOT NULL,
    by_role name NOT NULL
);
CREATE INDEX changes_by_net ON velmora.changes(net_id, id);

CREATE TABLE velmora.operators(
    net_id bigint NOT NULL REFERENCES velmora.nets(id),
    operator varchar(16) NOT NULL,
    by_role name NOT NULL,
    joined_utc bigint NOT NULL,
    PRIMARY KEY (net_id, operator)
);

CREATE FUNCTION velmora.is_ncs() RETURNS boolean LANGUAGE sql STABLE
    AS $$ SELECT pg_has_role(session_user, 'velmora_ncs', 'MEMBER') $$;
CREATE FUNCTION velmora.is_operator() RETURNS boolean LANGUAGE sql STABLE
    AS $$ SELECT pg_has_role(session_user, 'velmora_ncs', 'MEMBER')
              OR pg_has_role(session_user, 'velmora_logger', 'MEMBER') $$;

-- Locks the net for one change and says whether the caller may make it. Raises the reason
-- otherwise, in words an operator understands.
CREATE FUNCTION velmora.lock_net(p_net bigint, p_owner_only boolean) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    n velmora.nets;
BEGIN
    IF NOT velmora.is_operator() THEN
        RAISE EXCEPTION 'The sign-in % is not an operator of shared nets.', session_user
            USING ERRCODE = '42501';
    END IF;
    SELECT * INTO n FROM velmora.nets WHERE id = p_net FOR UPDATE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'There is no net % on this server.', p_net USING ERRCODE = 'P0002';
    END IF;
    IF n.owner = session_user AND velmora.is_ncs() THEN
        RETURN;
    END IF;
    IF p_owner_only THEN
        RAISE EXCEPTION 'Only the net control who shared "%" may do that.', n.name USING ERRCODE = '42501';
    END IF;
    IF n.closed_utc IS NOT NULL THEN
        RAISE EXCEPTION 'The net "%" is closed.', n.name USING ERRCODE = '42501';
    END IF;
END
$$;

CREATE FUNCTION velmora.record_change(p_uid uuid, p_net bigint, p_kind text, p_checkin uuid,
    p_utc bigint, p_operator text) RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    change_id bigint;
BEGIN
    INSERT INTO velmora.changes(uid, net_id, kind, checkin_uid, utc, operator, by_role)
        VALUES (p_uid, p_net, p_kind, p_checkin, p_utc, p_operator, session_user)
        RETURNING id INTO change_id;
    -- Only ids travel: readers fetch the rows, so nothing in a notification is trusted.
    PERFORM pg_notify('velmora_net_' || p_net, p_net || ':' || change_id);
    RETURN change_id;
END
$$;

CREATE FUNCTION velmora.share_net(p_uid uuid, p_name text, p_operator text, p_utc bigint)
RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    net_id bigint;
BEGIN
    IF NOT velmora.is_ncs() THEN
        RAISE EXCEPTION 'Only a net control may share a net; % is a logger.', session_user
            USING ERRCODE = '42501';
    END IF;
    SELECT id INTO net_id FROM velmora.nets WHERE uid = p_uid;
    IF FOUND THEN
        RETURN net_id;
    END IF;
    INSERT INTO velmora.nets(uid, name, owner, opened_by, opened_utc)
        VALUES (p_uid, p_name, session_user, p_operator, p_utc) RETURNING id INTO net_id;
    INSERT INTO velmora.operators VALUES (net_id, p_operator, session_user, p_utc);
    RETURN net_id;
END
$$;

CREATE FUNCTION velmora.join_net(p_net bigint, p_operator text, p_utc bigint) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
BEGIN
    IF NOT velmora.is_operator() THEN
        RAISE EXCEPTION 'The sign-in % is not an operator of shared nets.', session_user
            USING ERRCODE = '42501';
    END IF;
    IF NOT EXISTS (SELECT FROM velmora.nets WHERE id = p_net) THEN
        RAISE EXCEPTION 'There is no net % on this server.', p_net USING ERRCODE = 'P0002';
    END IF;
    INSERT INTO velmora.operators VALUES (p_net, p_operator, session_user, p_utc)
        ON CONFLICT DO NOTHING;
END
$$;

-- A check-in gets the next number of its net, or p_number when that is given and free (the
-- lines a net had before it was shared keep theirs). A change sent again (same uid) is
-- answered with what the first one did and changes nothing.
CREATE FUNCTION velmora.add_checkin(p_uid uuid, p_net bigint, p_call text, p_name text,
    p_city text, p_state text, p_source text, p_utc bigint, p_operator text, p_number integer,
    OUT number integer, OUT change_id bigint)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
BEGIN
    PERFORM velmora.lock_net(p_net, false);
    SELECT c.id, k.number INTO change_id, number
        FROM velmora.changes c JOIN velmora.checkins k ON k.uid = c.checkin_uid
        WHERE c.uid = p_uid AND c.net_id = p_net;
    IF FOUND THEN
        RETURN;
    END IF;
    IF p_number > 0 AND p_number <= 1000000 AND NOT EXISTS
            (SELECT FROM velmora.checkins k WHERE k.net_id = p_net AND k.number = p_number) THEN
        number := p_number;
    ELSE
        SELECT coalesce(max(k.number), 0) + 1 INTO number FROM velmora.checkins k WHERE k.net_id = p_net;
    END IF;
    INSERT INTO velmora.checkins(uid, net_id, number, call, name, city, state, source, utc,
            logged_by, by_role)
        VALUES (p_uid, p_net, number, p_call, p_name, p_city, p_state, p_source, p_utc,
            p_operator, session_user);
    change_id := velmora.record_change(p_uid, p_net, 'add', p_uid, p_utc, p_operator);
END
$$;

-- Delete, restore or status of a check-in, or an identification of the control station
-- (p_checkin null), or the close of the net (owner only).
CREATE FUNCTION velmora.change_net(p_uid uuid, p_net bigint, p_kind text, p_checkin uuid,
    p_value text, p_utc bigint, p_operator text) RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    change_id bigint;
BEGIN
    PERFORM velmora.lock_net(p_net, p_kind = 'close');
    SELECT id INTO change_id FROM velmora.changes WHERE uid = p_uid AND net_id = p_net;
    IF FOUND THEN
        RETURN change_id;
    END IF;
    IF p_kind IN ('delete', 'restore', 'status') THEN
        IF NOT EXISTS (SELECT FROM velmora.checkins WHERE uid = p_checkin AND net_id = p_net) THEN
            RAISE EXCEPTION 'That check-in is not in this net.' USING ERRCODE = 'P0002';
        END IF;
        UPDATE velmora.checkins SET
            deleted = CASE p_kind WHEN 'delete' THEN true WHEN 'restore' THEN false ELSE deleted END,
            status = CASE p_kind WHEN 'status' THEN coalesce(p_value, '') ELSE status END
            WHERE uid = p_checkin;
    ELSIF p_kind = 'close' THEN
        UPDATE velmora.nets SET closed_utc = p_utc WHERE id = p_net;
        p_checkin := NULL;
    ELSIF p_kind = 'ident' THEN
        p_checkin := NULL;
    ELSE
        RAISE EXCEPTION 'Unknown change "%".', p_kind USING ERRCODE = '22023';
    END IF;
    RETURN velmora.record_change(p_uid, p_net, p_kind, p_checkin, p_utc, p_operator);
END
$$;

REVOKE ALL ON ALL FUNCTIONS IN SCHEMA velmora FROM PUBLIC;
GRANT USAGE ON SCHEMA velmora TO velmora_ncs, velmora_logger;
GRANT SELECT ON ALL TABLES IN SCHEMA velmora TO velmora_ncs, velmora_logger;
-- A logger may call it, to be told in plain words that only a net control shares nets.
GRANT EXECUTE ON FUNCTION velmora.share_net(uuid, text, text, bigint) TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION velmora.join_net(bigint, text, bigint) TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION
    velmora.add_checkin(uuid, bigint, text, text, text, text, text, bigint, text, integer)
    TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION velmora.change_net(uuid, bigint, text, uuid, text, bigint, text)
    TO velmora_ncs, velmora_logger;

RESET ROLE;
