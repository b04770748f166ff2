-- Shared nets, version 2: the server decides who may do what, and nothing a client says
-- about who it is, what number a line gets or what time it is, is believed.
--
-- * Each sign-in belongs to one operator call (velmora.signins, kept by the administrator:
--   netserver.sh adduser). Lines, changes, nets and joins carry that call.
-- * A sign-in acts only in nets it has joined (sharing a net joins it). Its net control may do
--   everything there; any other operator adds lines, sets statuses and identifications, and
--   deletes or restores the lines its own sign-in logged. Nobody acts in a closed net.
-- * Numbers are given here alone. The lines a net had before it was shared are numbered once,
--   when it is shared: share_net takes their numbers, and only the net control's adds of those
--   lines may use them.
-- * Times of lines, identifications and nets are this server's clock.
-- * Control characters, calls that are not call-shaped, unknown sources and statuses and
--   out-of-range values are refused.
-- * A program sign-in reads the lines and changes of the nets it has joined only.
-- * A transaction of a program sign-in that sits on a net's lock is ended by the next change
--   of that net that needs it, so one operator cannot freeze a net.

-- Seeing other sessions' transactions and ending a stuck one (never a superuser's).
GRANT pg_read_all_stats, pg_signal_backend TO velmora_owner;
-- No temporary tables: their disk is not bounded by temp_file_limit.
DO $$
BEGIN
    EXECUTE format('REVOKE TEMPORARY ON DATABASE %I FROM PUBLIC', current_database());
END
$$;

SET ROLE velmora_owner;

INSERT INTO velmora.schema_version VALUES (2);

CREATE FUNCTION velmora.now_ms() RETURNS bigint LANGUAGE sql VOLATILE
    AS $$ SELECT (extract(epoch FROM clock_timestamp()) * 1000)::bigint $$;

-- A call as an operator types it: letters and digits, with at least one of each, in parts
-- joined by "/" (a prefix or a suffix), 3 to 16 characters.
CREATE FUNCTION velmora.call_shaped(c text) RETURNS boolean LANGUAGE sql IMMUTABLE
    AS $$ SELECT c ~ '^[A-Z0-9]+(/[A-Z0-9]+){0,2}$' AND c ~ '[A-Z]' AND c ~ '[0-9]'
              AND char_length(c) BETWEEN 3 AND 16 $$;

-- Text an operator types: no control characters (C0, DEL, C1), at most limit characters.
CREATE FUNCTION velmora.plain_text(t text, lim integer) RETURNS boolean LANGUAGE sql IMMUTABLE
    AS $$ SELECT t !~ '[\x01-\x1f\x7f-\x9f]' AND char_length(t) <= lim $$;

CREATE TABLE velmora.signins(
    role name PRIMARY KEY,
    call varchar(16) NOT NULL CHECK (velmora.call_shaped(call))
);

-- Times from version 1 came from the clients: none may lie ahead of this server's clock.
UPDATE velmora.nets SET opened_utc = velmora.now_ms() WHERE opened_utc > velmora.now_ms();
UPDATE velmora.nets SET closed_utc = velmora.now_ms() WHERE closed_utc > velmora.now_ms();

ALTER TABLE velmora.nets
    ADD COLUMN next_number integer NOT NULL DEFAULT 1,
    ADD COLUMN reserved integer[] NOT NULL DEFAULT '{}',
    ADD CONSTRAINT nets_plain_name CHECK (velmora.plain_text(name, 80)) NOT VALID,
    ADD CONSTRAINT nets_next_number CHECK (next_number BETWEEN 1 AND 1000001);
UPDATE velmora.nets n SET next_number = coalesce(
    (SELECT max(k.number) + 1 FROM velmora.checkins k WHERE k.net_id = n.id), 1);

ALTER TABLE velmora.checkins
    ADD CONSTRAINT checkins_number_range CHECK (number BETWEEN 1 AND 1000000) NOT VALID,
    ADD CONSTRAINT checkins_call_shaped CHECK (velmora.call_shaped(call)) NOT VALID,
    ADD CONSTRAINT checkins_plain_text CHECK (velmora.plain_text(name, 64)
        AND velmora.plain_text(city, 64) AND velmora.plain_text(state, 32)) NOT VALID,
    ADD CONSTRAINT checkins_source CHECK (source IN ('roster', 'manual', 'fcc', 'spreadsheet', 'club')) NOT VALID,
    ADD CONSTRAINT checkins_status CHECK (status IN ('', 'R', 'T', 'M/S', 'EB', 'G', 'OUT', 'NH')) NOT VALID,
    ADD CONSTRAINT checkins_utc CHECK (utc > 0) NOT VALID;

-- One row per sign-in and net: joining again under another call counts nobody twice.
DELETE FROM velmora.operators o USING velmora.operators p
    WHERE o.net_id = p.net_id AND o.by_role = p.by_role AND (o.joined_utc, o.operator) > (p.joined_utc, p.operator);
ALTER TABLE velmora.operators DROP CONSTRAINT operators_pkey;
ALTER TABLE velmora.operators ADD PRIMARY KEY (net_id, by_role);

-- Version 1's functions believed the caller; they are gone.
DROP FUNCTION velmora.share_net(uuid, text, text, bigint);
DROP FUNCTION velmora.join_net(bigint, text, bigint);
DROP FUNCTION velmora.add_checkin(uuid, bigint, text, text, text, text, text, bigint, text, integer);
DROP FUNCTION velmora.change_net(uuid, bigint, text, uuid, text, bigint, text);
DROP FUNCTION velmora.record_change(uuid, bigint, text, uuid, bigint, text);
DROP FUNCTION velmora.lock_net(bigint, boolean);

-- The call of the sign-in, or null when it is not an operator with one.
CREATE FUNCTION velmora.my_call() RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
    SELECT s.call FROM velmora.signins s WHERE s.role = session_user AND velmora.is_operator()
$$;

CREATE FUNCTION velmora.caller_call() RETURNS text
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    c text := velmora.my_call();
BEGIN
    IF NOT velmora.is_operator() THEN
        RAISE EXCEPTION 'The sign-in % is not an operator of shared nets.', session_user
            USING ERRCODE = '42501';
    END IF;
    IF c IS NULL THEN
        RAISE EXCEPTION 'The sign-in % has no operator call on this server: its administrator gives it one '
            '(netserver.sh adduser).', session_user USING ERRCODE = '42501';
    END IF;
    RETURN c;
END
$$;

-- Ends the transactions of program sign-ins that have held something for more than three
-- seconds: the program's own statements each commit in milliseconds, so such a transaction
-- is one left open by hand, and it would hold a net's lock.
CREATE FUNCTION velmora.end_stuck_transactions() RETURNS void
LANGUAGE sql VOLATILE SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
    SELECT pg_terminate_backend(a.pid) FROM pg_stat_activity a
    WHERE a.datname = current_database() AND a.pid <> pg_backend_pid() AND a.backend_xid IS NOT NULL
      AND a.xact_start < clock_timestamp() - interval '3 seconds'
      AND a.usesysid IS NOT NULL
      AND (pg_has_role(a.usesysid, 'velmora_ncs', 'MEMBER') OR pg_has_role(a.usesysid, 'velmora_logger', 'MEMBER'))
      AND NOT (SELECT rolsuper FROM pg_roles WHERE oid = a.usesysid)
$$;

-- Locks the net for one change and says whether the caller may act in it; raises the reason
-- otherwise, in words an operator understands. Returns the net.
CREATE FUNCTION velmora.lock_net(p_net bigint, p_owner_only boolean) RETURNS velmora.nets
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    n velmora.nets;
    deadline timestamptz := clock_timestamp() + interval '6 seconds';
BEGIN
    PERFORM velmora.caller_call();
    LOOP
        BEGIN
            SELECT * INTO n FROM velmora.nets WHERE id = p_net FOR UPDATE NOWAIT;
            EXIT;
        EXCEPTION WHEN lock_not_available THEN
            PERFORM velmora.end_stuck_transactions();
            IF clock_timestamp() > deadline THEN
                RAISE EXCEPTION 'The net is busy; the change is sent again.' USING ERRCODE = '55P03';
            END IF;
            PERFORM pg_sleep(0.02);
        END;
    END LOOP;
    IF n.id IS NULL THEN
        RAISE EXCEPTION 'There is no net % on this server.', p_net USING ERRCODE = 'P0002';
    END IF;
    IF NOT EXISTS (SELECT FROM velmora.operators o WHERE o.net_id = p_net AND o.by_role = session_user) THEN
        RAISE EXCEPTION 'The sign-in % has not joined the net "%".', session_user, n.name USING ERRCODE = '42501';
    END IF;
    IF n.closed_utc IS NOT NULL THEN
        RAISE EXCEPTION 'The net "%" is closed.', n.name USING ERRCODE = '42501';
    END IF;
    IF p_owner_only AND NOT (n.owner = session_user AND velmora.is_ncs()) THEN
        RAISE EXCEPTION 'Only the net control who shared "%" may do that.', n.name USING ERRCODE = '42501';
    END IF;
    RETURN n;
END
$$;

CREATE FUNCTION velmora.record_change(p_uid uuid, p_net bigint, p_kind text, p_checkin uuid,
    p_utc bigint) RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    change_id bigint;
BEGIN
    INSERT INTO velmora.changes(uid, net_id, kind, checkin_uid, utc, operator, by_role)
        VALUES (p_uid, p_net, p_kind, p_checkin, p_utc, velmora.caller_call(), session_user)
        RETURNING id INTO change_id;
    -- Only ids travel: readers fetch the rows, so nothing in a notification is trusted.
    PERFORM pg_notify('velmora_net_' || p_net, p_net || ':' || change_id);
    RETURN change_id;
END
$$;

-- A change id used before: its change when it is this sign-in's in this net, null when new;
-- raises when someone else's.
CREATE FUNCTION velmora.earlier_change(p_uid uuid, p_net bigint) RETURNS bigint
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    c velmora.changes;
BEGIN
    SELECT * INTO c FROM velmora.changes WHERE uid = p_uid;
    IF NOT FOUND THEN
        RETURN NULL;
    END IF;
    IF c.net_id <> p_net OR c.by_role <> session_user THEN
        RAISE EXCEPTION 'That change id is already taken.' USING ERRCODE = '23505';
    END IF;
    RETURN c.id;
END
$$;

-- Shares a net under the caller's call, at this server's time. p_numbers are the numbers of
-- the lines it had before (in their order); they are kept for those lines, and new lines are
-- numbered after them.
CREATE FUNCTION velmora.share_net(p_uid uuid, p_name text, p_numbers integer[]) RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    me text := velmora.caller_call();
    net_id bigint;
    nm text := btrim(coalesce(p_name, ''));
    nums integer[] := coalesce(p_numbers, '{}');
    t bigint := velmora.now_ms();
BEGIN
    IF NOT velmora.is_ncs() THEN
        RAISE EXCEPTION 'Only a net control may share a net; % is a logger.', session_user
            USING ERRCODE = '42501';
    END IF;
    SELECT id INTO net_id FROM velmora.nets WHERE uid = p_uid AND owner = session_user;
    IF FOUND THEN
        RETURN net_id;
    END IF;
    IF nm = '' OR NOT velmora.plain_text(nm, 80) THEN
        RAISE EXCEPTION 'A net''s name is 1 to 80 characters without control characters.' USING ERRCODE = '22023';
    END IF;
    IF cardinality(nums) > 10000 OR EXISTS (SELECT FROM unnest(nums) WITH ORDINALITY a(x, i)
            WHERE x IS NULL OR x < 1 OR x > 100000 OR (i > 1 AND x <= nums[(i - 1)::integer])) THEN
        RAISE EXCEPTION 'The numbers of a net''s lines so far must rise from 1 to at most 100000.'
            USING ERRCODE = '22023';
    END IF;
    -- Every net takes a place in every operator's JOIN list: a few open ones per sign-in.
    IF (SELECT count(*) FROM velmora.nets WHERE owner = session_user AND closed_utc IS NULL) >= 10 THEN
        RAISE EXCEPTION 'The sign-in % already has 10 open nets on this server: close one first.', session_user
            USING ERRCODE = '54000';
    END IF;
    INSERT INTO velmora.nets(uid, name, owner, opened_by, opened_utc, next_number, reserved)
        VALUES (p_uid, nm, session_user, me, t, coalesce(nums[cardinality(nums)], 0) + 1, nums)
        RETURNING id INTO net_id;
    INSERT INTO velmora.operators(net_id, operator, by_role, joined_utc) VALUES (net_id, me, session_user, t);
    RETURN net_id;
END
$$;

CREATE FUNCTION velmora.join_net(p_net bigint) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    me text := velmora.caller_call();
    n velmora.nets;
BEGIN
    SELECT * INTO n FROM velmora.nets WHERE id = p_net;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'There is no net % on this server.', p_net USING ERRCODE = 'P0002';
    END IF;
    IF n.closed_utc IS NOT NULL THEN
        RAISE EXCEPTION 'The net "%" is closed.', n.name USING ERRCODE = '42501';
    END IF;
    INSERT INTO velmora.operators(net_id, operator, by_role, joined_utc)
        VALUES (p_net, me, session_user, velmora.now_ms()) ON CONFLICT DO NOTHING;
END
$$;

-- A check-in gets the net's next number at this server's time. Only the net control's add
-- of a line the net had before it was shared keeps its number (one of those given to
-- share_net, not used yet) and its time (at most a day before now, never after). A change
-- sent again (same uid) is answered with what the first one did and changes nothing.
CREATE FUNCTION velmora.add_checkin(p_uid uuid, p_net bigint, p_call text, p_name text,
    p_city text, p_state text, p_source text, p_utc bigint, p_number integer,
    OUT number integer, OUT change_id bigint)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    n velmora.nets := velmora.lock_net(p_net, false);
    c text := upper(btrim(coalesce(p_call, '')));
    t bigint := velmora.now_ms();
BEGIN
    change_id := velmora.earlier_change(p_uid, p_net);
    IF change_id IS NOT NULL THEN
        SELECT k.number INTO number FROM velmora.checkins k WHERE k.uid = p_uid;
        RETURN;
    END IF;
    IF NOT velmora.call_shaped(c) THEN
        RAISE EXCEPTION 'A call is 3 to 16 letters and digits (with / for a prefix or suffix).'
            USING ERRCODE = '22023';
    END IF;
    IF p_name IS NULL OR p_city IS NULL OR p_state IS NULL OR NOT velmora.plain_text(p_name, 64)
            OR NOT velmora.plain_text(p_city, 64) OR NOT velmora.plain_text(p_state, 32) THEN
        RAISE EXCEPTION 'A name or city is at most 64 characters and a state 32, without control characters.'
            USING ERRCODE = '22023';
    END IF;
    IF p_source IS NULL OR p_source NOT IN ('roster', 'manual', 'fcc', 'spreadsheet', 'club') THEN
        RAISE EXCEPTION 'Unknown source "%".', p_source USING ERRCODE = '22023';
    END IF;
    IF n.owner = session_user AND p_number = ANY (n.reserved) AND NOT EXISTS
            (SELECT FROM velmora.checkins k WHERE k.net_id = p_net AND k.number = p_number) THEN
        number := p_number;
        IF p_utc BETWEEN t - 86400000 AND t THEN
            t := p_utc;
        END IF;
    ELSE
        number := n.next_number;
        IF number > 1000000 THEN
            RAISE EXCEPTION 'The net "%" is full.', n.name USING ERRCODE = '54000';
        END IF;
        UPDATE velmora.nets SET next_number = next_number + 1 WHERE id = p_net;
    END IF;
    INSERT INTO velmora.checkins(uid, net_id, number, call, name, city, state, source, utc,
            logged_by, by_role)
        VALUES (p_uid, p_net, number, c, p_name, p_city, p_state, p_source, t,
            velmora.caller_call(), session_user);
    change_id := velmora.record_change(p_uid, p_net, 'add', p_uid, t);
END
$$;

-- Delete, restore or status of a check-in, or an identification of the control station
-- (p_checkin null), or the close of the net (its net control only), at this server's time.
CREATE FUNCTION velmora.change_net(p_uid uuid, p_net bigint, p_kind text, p_checkin uuid,
    p_value text) RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
DECLARE
    n velmora.nets := velmora.lock_net(p_net, p_kind = 'close');
    k velmora.checkins;
    change_id bigint := velmora.earlier_change(p_uid, p_net);
    t bigint := velmora.now_ms();
BEGIN
    IF change_id IS NOT NULL THEN
        RETURN change_id;
    END IF;
    IF p_kind IN ('delete', 'restore', 'status') THEN
        SELECT * INTO k FROM velmora.checkins WHERE uid = p_checkin AND net_id = p_net;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'That check-in is not in this net.' USING ERRCODE = 'P0002';
        END IF;
        IF p_kind <> 'status' AND k.by_role <> session_user AND n.owner <> session_user THEN
            RAISE EXCEPTION 'Only its net control or the operator who logged #% may delete or restore it.',
                k.number USING ERRCODE = '42501';
        END IF;
        IF p_kind = 'status' AND coalesce(p_value, '') NOT IN ('', 'R', 'T', 'M/S', 'EB', 'G', 'OUT', 'NH') THEN
            RAISE EXCEPTION 'Unknown status "%".', left(p_value, 20) USING ERRCODE = '22023';
        END IF;
        UPDATE velmora.checkins SET
            deleted = CASE p_kind WHEN 'delete' THEN true WHEN 'restore' THEN false ELSE deleted END,
            status = CASE p_kind WHEN 'status' THEN coalesce(p_value, '') ELSE status END
            WHERE uid = p_checkin;
    ELSIF p_kind = 'close' THEN
        UPDATE velmora.nets SET closed_utc = t WHERE id = p_net;
        p_checkin := NULL;
    ELSIF p_kind = 'ident' THEN
        p_checkin := NULL;
    ELSE
        RAISE EXCEPTION 'Unknown change "%".', left(p_kind, 20) USING ERRCODE = '22023';
    END IF;
    RETURN velmora.record_change(p_uid, p_net, p_kind, p_checkin, t);
END
$$;

-- The open nets for the JOIN list, newest first by this server's clock: name, its net
-- control's call, when it opened and the calls of its operators.
CREATE FUNCTION velmora.open_nets() RETURNS TABLE(id bigint, name text, opened_by text, opened_utc bigint,
    operators text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = velmora, pg_temp AS $$
    SELECT n.id, n.name::text, n.opened_by::text, n.opened_utc,
        (SELECT string_agg(o.operator, ' ' ORDER BY o.joined_utc, o.operator) FROM velmora.operators o
            WHERE o.net_id = n.id)
    FROM velmora.nets n WHERE n.closed_utc IS NULL AND velmora.is_operator()
    ORDER BY n.opened_utc DESC, n.id DESC LIMIT 500
$$;

-- Lines and changes are read by the operators of their net only.
ALTER TABLE velmora.checkins ENABLE ROW LEVEL SECURITY;
ALTER TABLE velmora.changes ENABLE ROW LEVEL SECURITY;
CREATE POLICY joined ON velmora.checkins FOR SELECT USING (EXISTS (SELECT FROM velmora.operators o
    WHERE o.net_id = checkins.net_id AND o.by_role = session_user));
CREATE POLICY joined ON velmora.changes FOR SELECT USING (EXISTS (SELECT FROM velmora.operators o
    WHERE o.net_id = changes.net_id AND o.by_role = session_user));

REVOKE ALL ON ALL FUNCTIONS IN SCHEMA velmora FROM PUBLIC;
REVOKE ALL ON velmora.signins FROM PUBLIC;
GRANT SELECT ON velmora.nets, velmora.checkins, velmora.changes, velmora.operators, velmora.schema_version
    TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION velmora.my_call() TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION velmora.open_nets() TO velmora_ncs, velmora_logger;
-- A logger may call it, to be told in plain words that only a net control shares nets.
GRANT EXECUTE ON FUNCTION velmora.share_net(uuid, text, integer[]) TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION velmora.join_net(bigint) TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION
    velmora.add_checkin(uuid, bigint, text, text, text, text, text, bigint, integer)
    TO velmora_ncs, velmora_logger;
GRANT EXECUTE ON FUNCTION velmora.change_net(uuid, bigint, text, uuid, text) TO velmora_ncs, velmora_logger;

RESET ROLE;
