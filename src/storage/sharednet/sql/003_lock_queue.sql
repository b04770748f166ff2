-- Shared nets, version 3: a change waits for its net's lock in the server's queue.
--
-- Version 2 tried the lock without waiting and slept 20 ms between tries. Under many
-- operators the changes of a net then came in no order, a change could lose every try to
-- later ones, and each failed try looked for stuck transactions. Now a change waits in line
-- for up to 250 ms at a time; only a wait that long (the lock is held by a transaction far
-- slower than any of the program's) looks for stuck transactions, which are ended as before,
-- and a net busy for 6 seconds is still answered "busy". Who may act where is unchanged.

SET ROLE velmora_owner;

INSERT INTO velmora.schema_version VALUES (3);

CREATE OR REPLACE FUNCTION velmora.lock_net(p_net bigint, p_owner_only boolean) RETURNS velmora.nets
LANGUAGE plpgsql SECURITY DEFINER SET search_path = velmora, pg_temp SET lock_timeout = '250ms' AS $$
DECLARE
    n velmora.nets;
    deadline timestamptz := clock_timestamp() + interval '6 seconds';
BEGIN
    PERFORM velmora.caller_call();
    LOOP
        BEGIN
            SELECT * INTO n FROM velmora.nets WHERE id = p_net FOR UPDATE;
            EXIT;
        EXCEPTION WHEN lock_not_available THEN
            PERFORM velmora.end_stuck_transactions();
            IF clock_timestamp() > deadline THEN
                RAISE EXCEPTION 'The net is busy; the change is sent again.' USING ERRCODE = '55P03';
            END IF;
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
REVOKE ALL ON FUNCTION velmora.lock_net(bigint, boolean) FROM PUBLIC;

RESET ROLE;
