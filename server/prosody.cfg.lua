-- The VOLTRAX lobby's XMPP server: anonymous logins on one domain, the game rooms and
-- the quick-match room on rooms.<domain>, and time-limited TURN credentials for the
-- coturn started beside it (XEP-0215 external services, the same shared secret).
--
-- server/run.sh writes a copy of this file with every @NAME@ filled in into its data
-- folder and starts Prosody on it; this template is not meant to be run as it is.

pidfile = "@DATA@/prosody.pid"
data_path = "@DATA@/prosody"
log = { { levels = { min = "@LOG_LEVEL@" }, to = "console" } }

-- Clients only: no server-to-server links, no web server, nothing kept on disk per user.
interfaces = { @INTERFACES@ }
c2s_ports = { @XMPP_PORT@ }
s2s_ports = { }
component_ports = { }
modules_disabled = { "s2s", "offline" }
modules_enabled = {
	"saslauth";     -- logging in (SASL ANONYMOUS here)
	@TLS_MODULE@
	"disco";        -- lets the game find the TURN service
	"ping";
	"posix";        -- pid file, SIGTERM ends cleanly
	"limits";
}
@TLS_SETTINGS@

-- Nobody holds a long connection open for free and nobody floods the lobby: the game's
-- lobby words are a few hundred bytes.
limits = {
	c2s = { rate = "8kb/s"; burst = "4s" };
}
c2s_stanza_size_limit = 16384

VirtualHost "@DOMAIN@"
	authentication = "anonymous"
	allow_anonymous_s2s = false
	modules_enabled = { "turn_external" }
	-- One secret shared with coturn (use-auth-secret there): each credential the lobby
	-- hands out is "expiry time:name" and its HMAC, valid for an hour, never a password
	-- the game would have to carry.
	turn_external_secret = "@SECRET@"
	turn_external_host = "@PUBLIC_ADDRESS@"
	turn_external_port = @TURN_PORT@
	turn_external_ttl = 3600
	turn_external_tcp = true

-- Game rooms are named after their 6-character code ("vx-" and the code in lower case);
-- the quick-match room is "quickmatch". Rooms come to life when their first player
-- enters (no locked stage waiting for a configuration) and vanish when the last leaves;
-- the room's maker closes it to others once its guest is in.
Component "rooms.@DOMAIN@" "muc"
	restrict_room_creation = false
	muc_room_locking = false
	muc_room_default_public = false
	muc_room_default_persistent = false
	muc_room_default_history_length = 0
	muc_room_default_public_jids = false
	muc_tombstones = false
